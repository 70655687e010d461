// 1D LUT: entry j of N maps to the line for j; output levels are normalised
// to 0..1 by dividing by the table's top level.
#include "cli/CubeFile.h"

#include "io/TextLine.h"

namespace {

constexpr const char* kTitleLine = "TITLE \"Gamma tables by Tamrel\"\n";
constexpr const char* kSizeFormat = "LUT_1D_SIZE %zu\n";
constexpr const char* kEntryFormat = "%.6f %.6f %.6f\n";
// Levels beyond 8 bits keep the precision a 16-bit scan has.
constexpr int kWideCubeLevel = 65535;

} // namespace

TableShape CubeShapeOf(std::size_t entries) {
    return entries == kWindowShape.entries ? kWindowShape : TableShape{entries, kWideCubeLevel};
}

std::vector<std::string> FormatCubeFile(const ChannelCurves& curves, int maxLevel) {
    const std::size_t entries = curves[kRed].size();
    const double top = maxLevel;
    std::vector<std::string> lines;
    lines.reserve(2 + entries);
    lines.emplace_back(kTitleLine);
    lines.push_back(FormatLine(kSizeFormat, entries));
    for (std::size_t j = 0; j < entries; ++j) {
        lines.push_back(FormatLine(kEntryFormat, curves[kRed][j] / top, curves[kGreen][j] / top,
                                   curves[kBlue][j] / top));
    }
    return lines;
}

WriteResult WriteCubeFile(const std::filesystem::path& path, const ChannelCurves& curves,
                          int maxLevel) {
    return WriteFileAtomically(path, FormatCubeFile(curves, maxLevel));
}
