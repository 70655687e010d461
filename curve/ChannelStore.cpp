// Positions and film stages into the channels, each channel's table
// computed from the whole channel after the change.
#include "curve/ChannelStore.h"

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

void ApplyFilm(const FilmSettings& film, ChannelParamsSet& channels, GammaTableSet& tables) {
    for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
        channels[channel].Film = film.StageOf(channel);
        ComputeChannelTable(channels[channel], tables[channel]);
    }
}

ParamSet MakeParamSet(const ParamPositionSet& positions, const FilmSettings& film) {
    ParamSet set;
    set.film = film;
    for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
        set.channels[channel] = MakeChannelParams(positions[channel], film.StageOf(channel));
        ComputeChannelTable(set.channels[channel], set.tables[channel]);
    }
    return set;
}
