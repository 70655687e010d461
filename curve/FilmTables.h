// The tables of a film's two parts, each at 256 entries: the positive alone
// (the stage without the curve) and the curve alone (the store without its
// stages), for the plot, the histograms and the preview before the curve.
#pragma once

#include "curve/ChannelParams.h"
#include "curve/FilmStage.h"

#include <cstdint>
#include <optional>

// The store's channels without their film stages: the curve alone, and
// its 256-entry tables (what the plot draws).
ChannelParamsSet CurvesAlone(ChannelParamsSet channels);
GammaTableSet CurveTables(const ChannelParamsSet& channels);
bool HasFilm(const ChannelParamsSet& channels);

// The positive of `level` on a scale of 0..top: top * p(level / top),
// rounded and held to 0..top; the level itself without a stage.
std::int32_t PositiveLevel(const std::optional<FilmStage>& film, std::int32_t level,
                           std::int32_t top);

// The positive alone at 256 entries: entry i is PositiveLevel(i) of 0..255.
void ComputeFilmTable(const std::optional<FilmStage>& film, GammaTable& table);
GammaTableSet FilmTables(const ChannelParamsSet& channels);
