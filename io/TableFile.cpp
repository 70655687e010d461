// Gamma table files: "%s\r\n%d\r\n" with the title and 256, then "%d\r\n"
// for each entry 0..255; 258 lines, CR LF after every one, nothing after.
#include "io/TableFile.h"

namespace {

// The title and count lines are formatted and written together.
constexpr const char* kHeaderFormat = "%s\r\n%d\r\n";
// Signed decimal, no padding or plus sign; the entry is widened to int.
constexpr const char* kEntryFormat = "%d\r\n";
constexpr int kEntryCount = static_cast<int>(kGammaTableSize);

} // namespace

std::vector<std::string> FormatTableFile(const GammaTable& table, std::string_view title) {
    std::vector<std::string> pieces;
    pieces.reserve(1 + table.size());
    const std::string titleText(title);
    pieces.push_back(FormatLine(kHeaderFormat, titleText.c_str(), kEntryCount));
    for (const std::int16_t entry : table) {
        pieces.push_back(FormatLine(kEntryFormat, static_cast<int>(entry)));
    }
    return pieces;
}

WriteOutcome WriteTableFile(const std::filesystem::path& path, const GammaTable& table,
                            std::string_view title) {
    return WriteFileAtomically(path, FormatTableFile(table, title));
}

TableFilesOutcome WriteTableFiles(const ExportNames& names, const GammaTableSet& tables) {
    for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
        WriteOutcome written =
            WriteTableFile(names[channel], tables[channel], kTableChannels[channel].title);
        if (written.Result != WriteResult::Ok) {
            return {std::move(written), names[channel]};
        }
    }
    return {};
}
