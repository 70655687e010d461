// A colour negative's grey axis in density space. Above its base, film
// answers an exposure E in channel c with the density
//   d_c = gamma_c * log10((E_c + f) / f),
// so every neutral of every frame, whatever its exposure, lies on the one
// line through the origin in the direction (gamma_R, gamma_G, gamma_B),
// and the stage's exponents e_c = 1 / gamma_c come from its direction.
// Coloured objects lie off it, each in its own direction; across a roll
// the neutral ones (clouds, walls, roads, snow, shadows, a grey card) are
// what lines up. The axis is fitted robustly: each density's direction,
// weighted by its length, pulls on the line, with Tukey's biweight of its
// angle to the line, the cut-off narrowed step by step, so that what is
// off the line stops pulling while the neutrals settle it.
#pragma once

#include "measure/Matrix3.h"

#include <optional>
#include <span>

// Densities shorter than this (near the base, where grain sets their
// direction) or with a channel beyond the film's range (dust, scratches)
// are left out.
inline constexpr double kLeastAxisDensity = 0.1;
inline constexpr double kMostAxisDensity = 4.0;

// The unit direction of the line, all three parts above 0; none when too
// few densities are left to pull on it.
std::optional<Vector3> FitGreyAxis(std::span<const Vector3> densities);
