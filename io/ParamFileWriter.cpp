// Parameter file as written: ";Tamrel Parameter", then "BlackR=%d" ...
// "GammaB=%d" in key order, CR LF after every line; 154 bytes for the defaults.
#include "io/ParamFileWriter.h"

#include "io/FilmLines.h"
#include "io/TextLine.h"

namespace {

// A comment to the reader, which does not require it.
constexpr const char* kHeaderLine = ";Tamrel Parameter\r\n";
constexpr const char* kKeyLineFormat = "%s=%d\r\n";

} // namespace

std::vector<std::string> FormatParamFile(const ParamPositionSet& positions,
                                         const FilmSettings& film) {
    std::vector<std::string> lines;
    lines.reserve(1 + kParamKeys.size());
    lines.emplace_back(kHeaderLine);
    for (const ParamKey& key : kParamKeys) {
        lines.push_back(FormatLine(kKeyLineFormat, key.name, positions[key.channel][key.param]));
    }
    for (std::string& line : FormatFilmLines(film)) {
        lines.push_back(std::move(line));
    }
    return lines;
}

WriteOutcome SaveParamFile(const std::filesystem::path& path, const ParamPositionSet& positions,
                           const FilmSettings& film) {
    return WriteFileAtomically(path, FormatParamFile(positions, film));
}
