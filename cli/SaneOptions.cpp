// SANE options: each table as its 256 decimal entries, comma-separated, no spaces.
#include "cli/SaneOptions.h"

#include <array>

namespace {

constexpr const char* kCustomGamma = "--custom-gamma=yes";
constexpr std::array<const char*, kChannelCount> kTableOptions = {
    "--red-gamma-table", "--green-gamma-table", "--blue-gamma-table"};
constexpr char kValueSeparator = ',';

std::string JoinEntries(const GammaTable& table) {
    std::string text;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (i > 0) {
            text += kValueSeparator;
        }
        text += std::to_string(table[i]);
    }
    return text;
}

} // namespace

std::string FormatSaneOptions(const GammaTableSet& tables) {
    std::string line = kCustomGamma;
    for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
        line += ' ';
        line += kTableOptions[channel];
        line += ' ';
        line += JoinEntries(tables[channel]);
    }
    return line + '\n';
}
