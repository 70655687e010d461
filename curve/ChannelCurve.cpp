// A channel's curve at any shape, from the values the store holds.
#include "curve/ChannelCurve.h"

bool ComputeChannelCurve(const ChannelParams& channel, std::span<std::uint16_t> table,
                         int maxLevel) {
    return ComputeCurveTable(channel.White, table, maxLevel, 1.0 / channel.Gamma, channel.Alpha,
                             channel.Black);
}
