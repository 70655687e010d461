// Black and White points read from an image's level histogram: the darkest
// and the brightest c percent of the pixels of a channel are let clip.
#pragma once

#include "curve/ChannelParams.h"

#include <array>
#include <cstdint>

inline constexpr std::size_t kLevelCount = 256;
// Pixels per 8-bit level of one channel.
using LevelCounts = std::array<std::uint64_t, kLevelCount>;

// The share of pixels let clip at each end, in percent, unless the user gives one.
inline constexpr double kDefaultClipPercent = 0.1;

struct BlackWhitePositions {
    int black; // BlackPos = 10 * level
    int white; // WhitePos = level
    friend bool operator==(const BlackWhitePositions&, const BlackWhitePositions&) = default;
};

// With n the sum of `counts` and t = clipPercent * n / 100:
// Black is the largest level L in 0..10 with count(levels <= L) <= t, or 0
// when even level 0 holds more; White is the smallest level L with
// count(levels >= L) <= t, raised to at least 200, or 255 when even level 255
// holds more.
BlackWhitePositions AutoBlackWhite(const LevelCounts& counts, double clipPercent);

// `channel` with Black and White from the rule; Alpha and Gamma stay.
ParamPositions WithAutoBlackWhite(ParamPositions channel, const LevelCounts& counts,
                                  double clipPercent);
