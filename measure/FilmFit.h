// A film's settings fitted to what was counted on a frame: each channel's
// base, the density its highlights reach, its exponent and its scale, by
// two neutral picks, one, or none; or why the picks cannot be used.
#pragma once

#include "curve/FilmSettings.h"
#include "measure/FilmCounts.h"

#include <cstddef>
#include <optional>
#include <vector>

// The base is the median of its rectangle; without one, the frame's
// clearest 0.1 %. D is the density of the frame's densest 0.1 % (its 99.9th
// percentile), so that a few specks do not set it.
inline constexpr double kHighlightShare = 0.001;
// With no two picks, each channel's exponent comes from the densities of
// the frame's 1st and 99th percentiles, as printers balance a roll.
inline constexpr double kRangeShare = 0.01;
// A base darker than this share of the frame is not the clearest film.
inline constexpr double kMaxClearerShare = 0.4;
// A pick needs this much density above the base in every channel, and two
// picks this much between them, for a balance that noise does not set.
inline constexpr double kMinPickDensity = 0.03;
inline constexpr double kMinPickSeparation = 0.05;
// A channel's exponent stays within this factor of green's.
inline constexpr double kMaxExponentRatio = 4.0;

// What a fit takes: the frame's counts, the base's transmission per channel
// (a picked rectangle's median, or one known from another frame of the
// roll; none: the frame's clearest part) and the neutral picks' medians.
struct FilmSamples {
    const ChannelCounts* frame = nullptr;
    std::optional<ChannelValues> base;
    bool basePicked = false; // the base was picked on this frame: it must be its clearest film
    std::vector<ChannelValues> neutrals; // at most kMaxNeutralPicks
};

enum class FilmFault {
    None,
    RectangleOffImage, // `which` rectangle lies (partly) outside the image
    BaseNotClearest,   // `share` of the frame is clearer than the base
    NeutralLikeBase,   // neutral pick `which` is as clear as the base
    NeutralsAlike,     // the two picks have the same density
};

struct FilmProblem {
    FilmFault fault = FilmFault::None;
    std::size_t which = 0; // 0 the base, 1 and 2 the neutral picks
    double share = 0.0;
};

struct FilmFit {
    FilmProblem problem;
    FilmSettings film; // rounded as the parameter file keeps it; meaningless on a problem
};

// The neutral picks of `film` (its stages' bases set) checked: each
// denser than the base in every channel, two far enough apart. With two,
// `ratios` takes e_c / e_G from their density steps; otherwise it is left.
FilmProblem CheckNeutralPicks(const FilmSettings& film, ChannelValues& ratios);
// s_c = min_k p_k(light) / p_c(light): the light pick (the only one, or the
// denser of two) comes out neutral, every scale at most 1. None without picks.
void SetNeutralScales(FilmSettings& film);

// A colour negative's channels are fitted each on its own; a
// black-and-white one takes the three channels' samples as one, one stage
// for all three, and no balance.
FilmFit FitFilm(FilmMode mode, const FilmSamples& samples);
