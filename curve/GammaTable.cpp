// 8-bit input level -> 8-bit output level, BT.709-style toe and power law.
//
// On the normalised input L = (i - black) / (white - black) the curve is
//   V(L) = (1 - k) * L^p + k            above the breakpoint L0,
//   V(L) = L * V(L0) / L0               below it (the tangent through 0),
// with k = (0.45 / p)^2 * (1 - alpha); p = 0.45, alpha = 1.099 is BT.709.
#include "curve/GammaTable.h"

#include "curve/ToneCurve.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kFullOutput = 255.0;
constexpr int kMaxLevel = 255;

// "Round" is add 0.5, then truncate toward zero. Out-of-range inputs (NaN,
// huge values) cannot occur for slider parameters; they saturate instead of
// invoking undefined behaviour in the conversion.
int RoundHalfUp(double value) {
    const double biased = value + kRoundingBias;
    if (!(biased > std::numeric_limits<int>::min())) { // also catches NaN
        return std::numeric_limits<int>::min();
    }
    if (biased >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(biased);
}

std::int16_t ToEntry(int level) {
    constexpr int lo = std::numeric_limits<std::int16_t>::min();
    constexpr int hi = std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(level < lo ? lo : (level > hi ? hi : level));
}

int ClampToLevel(int level) {
    return level < 0 ? 0 : (level > kMaxLevel ? kMaxLevel : level);
}

} // namespace

void ComputeGammaTable(double white, GammaTable& table, double exponent, double alpha,
                       double black) {
    const double b = black;
    const double p = exponent;
    const double span = white - b;
    // Where the line through the origin touches (1 - k) * L^p + k.
    const auto [k, l0, v0] = TangentOf(p, alpha);
    const double toeSlope = kFullOutput * v0 / (l0 * span); // output levels per input level
    const int breakpoint = RoundHalfUp(l0 * span + b);

    const int toeEnd = breakpoint < static_cast<int>(kGammaTableSize)
                           ? breakpoint
                           : static_cast<int>(kGammaTableSize);
    for (int i = 0; i < toeEnd; ++i) {
        if (i <= b) {
            table[i] = 0;
            continue;
        }
        const int level = RoundHalfUp((i - b) * toeSlope);
        table[i] = ToEntry(level < 0 ? 0 : level); // no upper clamp on the toe
    }
    for (int i = breakpoint > 0 ? breakpoint : 0; i < static_cast<int>(kGammaTableSize); ++i) {
        if (i <= b) {
            table[i] = 0; // never a power of a negative number
            continue;
        }
        const double l = (i - b) / span;
        table[i] =
            ToEntry(ClampToLevel(RoundHalfUp(kFullOutput * ((1.0 - k) * std::pow(l, p) + k))));
    }
}
