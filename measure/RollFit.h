// A roll's film fitted to all its frames at once: one base, measured on
// the film between and around the frames of every strip (or picked); one
// balance of the channels, the exponents' ratios, from the grey axis of
// all frames together (or from two neutral picks on any frames); and each
// frame's own exposure, the density its highlights reach, from that frame.
#pragma once

#include "measure/FilmFit.h"
#include "measure/RollSamples.h"

#include <optional>
#include <span>
#include <vector>

struct RollPicks {
    // A picked base's medians, and the strip it was picked on (its frames
    // must be denser than it).
    std::optional<ChannelValues> base;
    std::size_t baseStrip = 0;
    std::vector<ChannelValues> neutrals; // medians; at most kMaxNeutralPicks
};

struct RollFit {
    FilmProblem problem; // the picks that cannot be used; the rest is meaningless then
    FilmSettings roll;   // the roll's film at the median frame's exposure
    std::vector<std::vector<FilmSettings>> frames; // per strip, per frame, as the strips hold them
    // e_c / e_G of the balance, and whether the grey axis set them.
    ChannelValues ratios{1.0, 1.0, 1.0};
    bool fromGreyAxis = false;
};

// Every stage rounded as the parameter file keeps it. A colour roll whose
// frames show no grey axis keeps each channel's exponent at green's. A
// black-and-white roll has one stage for all three channels and no picks.
RollFit FitRoll(FilmMode mode, std::span<const StripSample> strips, const RollPicks& picks);
