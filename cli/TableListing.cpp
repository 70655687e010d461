// Table listing: "0 0 0 0" up to "255 255 255 255" for the start-up tables.
#include "cli/TableListing.h"

std::string FormatTableListing(const GammaTableSet& tables) {
    std::string text;
    for (std::size_t level = 0; level < kGammaTableSize; ++level) {
        text += std::to_string(level);
        for (const GammaTable& table : tables) {
            text += ' ';
            text += std::to_string(table[level]);
        }
        text += '\n';
    }
    return text;
}
