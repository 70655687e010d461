// A channel's curve at any shape, from the values the store holds, behind
// its film stage where it has one.
#include "curve/ChannelCurve.h"

bool ComputeChannelCurve(const ChannelParams& channel, std::span<std::uint16_t> table,
                         int maxLevel) {
    if (channel.Film) {
        return ComputeFilmCurveTable(*channel.Film, channel.White, table, maxLevel,
                                     1.0 / channel.Gamma, channel.Alpha, channel.Black);
    }
    return ComputeCurveTable(channel.White, table, maxLevel, 1.0 / channel.Gamma, channel.Alpha,
                             channel.Black);
}
