// The three channels' tables at 65536 entries of levels 0..65535, the ones
// `apply` puts a 16-bit scan through: each channel whole (its film stage and
// its curve) and its film stage alone (the positive before the curve).
// Entry j stands for the scan value j / 65535.
#pragma once

#include "curve/ChannelParams.h"

#include <array>
#include <cstdint>
#include <vector>

inline constexpr std::size_t kWideCurveEntries = 65536;
inline constexpr int kWideCurveTop = 65535;

using WideCurve = std::vector<std::uint16_t>;
// By Channel; all three empty where a picture goes through no table at all.
using WideCurveSet = std::array<WideCurve, kChannelCount>;

// Each channel's table as ComputeChannelCurve makes it.
WideCurveSet WholeCurves(const ChannelParamsSet& channels);

// Each channel's positive alone: entry j is round(65535 * p(j / 65535)),
// held to 0..65535; a channel without a stage keeps every level.
WideCurveSet FilmCurves(const ChannelParamsSet& channels);
