// Moving the twelve positions between the parameter store and a file.
#include "io/ParamKeys.h"

ParamPositionSet PositionSetOf(const ChannelParamsSet& channels) {
    ParamPositionSet positions;
    for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
        positions[channel] = PositionsOf(channels[channel]);
    }
    return positions;
}

void ApplyPositionSet(const ParamPositionSet& positions, ChannelParamsSet& channels,
                      GammaTableSet& tables) {
    for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
        channels[channel] = MakeChannelParams(positions[channel], channels[channel].Film);
        ComputeChannelTable(channels[channel], tables[channel]);
    }
}
