// The tables of a film's two parts, each at 256 entries: the positive alone
// (the stage without the curve) and the curve alone (the store without its
// stages), for the plot, the histograms and the preview before the curve.
#pragma once

#include "curve/ChannelParams.h"
#include "curve/FilmStage.h"

#include <optional>

// The store's channels without their film stages: the curve alone, and
// its 256-entry tables (what the plot draws).
ChannelParamsSet CurvesAlone(ChannelParamsSet channels);
GammaTableSet CurveTables(const ChannelParamsSet& channels);
bool HasFilm(const ChannelParamsSet& channels);

// The positive alone at 256 entries: entry i is 255 * p(i / 255), rounded
// and clamped to 0..255; every level as it is without a stage.
void ComputeFilmTable(const std::optional<FilmStage>& film, GammaTable& table);
GammaTableSet FilmTables(const ChannelParamsSet& channels);
