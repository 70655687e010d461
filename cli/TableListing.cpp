// Table listing: "0 0 0 0" up to "255 255 255 255" for the start-up tables.
#include "cli/TableListing.h"

std::string FormatTableListing(const ChannelCurves& curves) {
    std::string text;
    for (std::size_t entry = 0; entry < curves[kRed].size(); ++entry) {
        text += std::to_string(entry);
        for (const Curve& curve : curves) {
            text += ' ';
            text += std::to_string(curve[entry]);
        }
        text += '\n';
    }
    return text;
}
