// SANE options: each table as all of its entries, as one argument, since a
// front end fills the entries a list leaves out with 0.
#include "cli/SaneOptions.h"

namespace {

constexpr const char* kCustomGamma = "--custom-gamma=yes";
constexpr const char* kOptionPrefix = "--";
constexpr char kValueSeparator = ',';

} // namespace

std::string JoinEntries(const Curve& entries) {
    std::string text;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0) {
            text += kValueSeparator;
        }
        text += std::to_string(entries[i]);
    }
    return text;
}

std::string FormatSaneOptions(const SaneLine& line) {
    std::string text = line.customGamma ? kCustomGamma : "";
    for (const SaneTable& table : line.tables) {
        if (!text.empty()) {
            text += ' ';
        }
        text += kOptionPrefix + table.option + ' ' + JoinEntries(table.entries);
    }
    return text + '\n';
}
