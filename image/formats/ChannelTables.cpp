// Entry / top level, held to 0..1 (the window's tables are int16 and may
// leave the range for parameters no slider gives).
#include "image/formats/ChannelTables.h"

#include <algorithm>

namespace {

constexpr double kTopLevel8 = 255.0;

} // namespace

ChannelTables ChannelTablesOf(const GammaTableSet& tables) {
    ChannelTables scaled;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        for (const std::int16_t level : tables[c]) {
            scaled[c].push_back(std::clamp(level / kTopLevel8, 0.0, 1.0));
        }
    }
    return scaled;
}

ChannelTables
ChannelTablesOf(const std::array<std::span<const std::uint16_t>, kChannelCount>& tables,
                int maxLevel) {
    ChannelTables scaled;
    const double top = std::max(maxLevel, 1);
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        for (const std::uint16_t level : tables[c]) {
            scaled[c].push_back(std::clamp(level / top, 0.0, 1.0));
        }
    }
    return scaled;
}
