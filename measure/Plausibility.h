// Whether a chart's samples, and the fit made from them, can be right: a
// calibration that cannot be is refused, whether its corners were found or
// given, naming the likely cause. In the order a user fixes things in:
//   - the boxes straddle patches: more than kMixedShare of them are not
//     uniform inside (their middle half of values spans more than
//     kMixedSpread on the lightness scale in some channel), so the corners
//     are not on the patch grid;
//   - a grey patch clipped at the top level;
//   - the greys do not differ: the whole grey scale spans less than
//     kLeastGreyRange on the lightness scale (a black or blank scan, a flat
//     grey), or two neighbours the reference tells apart read alike
//     (within kAlike: the shadows clipped);
//   - a grey lighter than the one before it (not a linear scan);
//   - and once fitted, a mean CIEDE2000 above kImplausibleMean, which no
//     real chart gives with its own reference: the reference is likely
//     another chart's.
#pragma once

#include "measure/Calibration.h"

#include <optional>

inline constexpr double kMixedSpread = 8.0; // lightness units
inline constexpr double kMixedShare = 0.25; // of the patches
inline constexpr double kLeastGreyRange = 10.0;
inline constexpr double kAlike = 0.05;            // lightness units
inline constexpr double kDistinctReference = 1.0; // L*: greys the reference tells apart
inline constexpr double kImplausibleMean = 10.0;  // CIEDE2000

// The samples' problem, if any; the reference holds every patch.
std::optional<CalibrationProblem> SamplesProblem(const ChartSamples& samples,
                                                 const ChartLayout& layout,
                                                 const ChartReference& reference);

// The finished fit's problem, if any.
std::optional<CalibrationProblem> FitProblem(const Calibration& calibration);
