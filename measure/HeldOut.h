// How the profile fit does on colours it did not see: k-fold
// cross-validation over a chart's patches. Patch i goes to fold i mod
// kFolds, which spreads every fold over the chart's rows, hues and the grey
// scale; each fold's patches are taken through a fit made without them, and
// their CIEDE2000 differences are the held-out figures.
//
// k = 5: each fit sees four fifths of the patches (230 of an IT8's 288,
// 19 or 20 of a ColorChecker's 24 with at least 4 of its 6 greys), so it is
// nearly the fit of the whole chart and the held-out figures run only a
// little high for it; five fits cost five times one, where leaving out one
// patch at a time would cost 288 on an IT8.
#pragma once

#include "measure/ProfileFit.h"

#include <cstddef>
#include <span>
#include <vector>

inline constexpr std::size_t kFolds = 5;

// Each patch's CIEDE2000 through the fit that did not see it, in patch
// order; empty for fewer patches than folds.
std::vector<double> HeldOutDeltaE(std::span<const ProfilePatch> patches);
