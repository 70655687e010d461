// The three channels and their 256-entry tables set together: from twelve
// positions, from a film, or from both at once, every table recomputed from
// the channels it belongs to.
#pragma once

#include "curve/ChannelParams.h"
#include "curve/FilmSettings.h"

// The positions of the store.
ParamPositionSet PositionSetOf(const ChannelParamsSet& channels);

// The store set from positions, every table recomputed, as a slider move
// does; each channel keeps its film stage.
void ApplyPositionSet(const ParamPositionSet& positions, ChannelParamsSet& channels,
                      GammaTableSet& tables);

// Each channel's stage into the store (none for a positive), every table
// recomputed; each channel keeps its positions.
void ApplyFilm(const FilmSettings& film, ChannelParamsSet& channels, GammaTableSet& tables);

// What a parameter file (or the start-up positions) gives, as one value:
// the film as the file holds it, each channel's positions with the film's
// stage in front of its curve, and their tables.
struct ParamSet {
    FilmSettings film;
    ChannelParamsSet channels{};
    GammaTableSet tables{};

    ParamPositionSet Positions() const { return PositionSetOf(channels); }
};

// The store that ApplyPositionSet and ApplyFilm leave, in either order,
// with each table computed once.
ParamSet MakeParamSet(const ParamPositionSet& positions, const FilmSettings& film);
