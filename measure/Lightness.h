// A channel's linear value (0..1 of full scale) on CIE L*'s scale (0..100),
// as if it were a relative luminance: 116 v^(1/3) - 16 above (6/29)^3,
// 24389/27 v below. Steps on this scale are steps a viewer sees alike in
// the dark and in the light, so thresholds on it hold for every patch.
#pragma once

#include <cmath>

inline constexpr double kLightnessKnee = 216.0 / 24389.0; // (6/29)^3
inline constexpr double kLightnessToe = 24389.0 / 27.0;   // the slope below the knee

inline double LightnessOf(double linear) {
    if (linear <= kLightnessKnee) {
        return kLightnessToe * linear;
    }
    return 116.0 * std::cbrt(linear) - 16.0;
}
