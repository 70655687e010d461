// 8-bit input level -> 8-bit output level: a BT.709-style tone curve with a
// straight toe through the origin and an offset power law above it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The curve's constants, shared by the 256-entry table and the sized one.
inline constexpr double kBt709Exponent = 0.45; // p of BT.709, which k is measured against
inline constexpr double kSquare = 2.0;         // k = (0.45 / p)^2 * (1 - alpha)
inline constexpr double kRoundingBias = 0.5;   // round half up: add 0.5, truncate

inline constexpr std::size_t kGammaTableSize = 256;

// Output levels 0..255, indexed by the input level of a gamma-1.0 scan.
using GammaTable = std::array<std::int16_t, kGammaTableSize>;

// Fills every entry of `table`. `exponent` is 1 / Gamma; the caller divides.
// Parameters outside the slider ranges never reach this routine; for them the
// entries are still well-defined numbers in the int16 range, just meaningless.
void ComputeGammaTable(double white, GammaTable& table, double exponent, double alpha,
                       double black);
