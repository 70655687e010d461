// The fit: d = log10(b / t) for every reading, D from the frame's densest
// samples, e_c / e_G from two picks' density steps or the frame's density
// ranges, and s_c so that the light pick comes out neutral, no channel
// lifted past its own highlights (the smallest p_c of the pick over p_c).
#include "measure/FilmFit.h"

#include <algorithm>
#include <cmath>

namespace {

double Density(double base, double t) {
    return std::log10(base / std::max(t, kDarkestTransmission));
}

// What one channel's counts say: the base and the frame's densities.
struct Reading {
    double base = 1.0;
    double highlight = 0.0;    // transmission of the densest kHighlightShare
    double rangeDense = 0.0;   // at the kRangeShare percentile
    double rangeClear = 0.0;   // at 1 - kRangeShare
    double clearerShare = 0.0; // of the frame, clearer than the base
};

Reading ReadingOf(const TransmissionCounts& frame, std::optional<double> base, bool picked) {
    Reading r;
    r.base = base ? *base : TransmissionAt(frame, 1.0 - kHighlightShare);
    r.base = std::clamp(r.base, kMinTransmission, kMaxTransmission);
    r.highlight = TransmissionAt(frame, kHighlightShare);
    r.rangeDense = TransmissionAt(frame, kRangeShare);
    r.rangeClear = TransmissionAt(frame, 1.0 - kRangeShare);
    r.clearerShare = picked ? ShareAbove(frame, r.base) : 0.0;
    return r;
}

std::optional<double> BaseOf(const FilmSamples& samples, std::size_t channel) {
    return samples.base ? std::optional((*samples.base)[channel]) : std::nullopt;
}

FilmStage StageOf(const Reading& r, double exponent) {
    const double density =
        std::clamp(Density(r.base, r.highlight), kMinFilmDensity, kMaxFilmDensity);
    return {r.base, std::clamp(exponent, kMinFilmExponent, kMaxFilmExponent), density, 1.0};
}

double ClampedRatio(double green, double channel) {
    if (!(channel > 0.0) || !(green > 0.0)) {
        return 1.0;
    }
    return std::clamp(green / channel, 1.0 / kMaxExponentRatio, kMaxExponentRatio);
}

// e_c / e_G from the frame's density range in each channel.
ChannelValues RangeRatios(const std::array<Reading, kChannelCount>& readings) {
    ChannelValues spans{};
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        spans[c] = std::log10(std::max(readings[c].rangeClear, kDarkestTransmission) /
                              std::max(readings[c].rangeDense, kDarkestTransmission));
    }
    ChannelValues ratios{};
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        ratios[c] = ClampedRatio(spans[kGreen], spans[c]);
    }
    return ratios;
}

ChannelValues DensitiesOf(const FilmSettings& film, const ChannelValues& pick) {
    ChannelValues d{};
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        d[c] = Density(film.stages[c].base, pick[c]);
    }
    return d;
}

// The pick the scales are set by: the only one, or the denser of two.
std::size_t LightPick(const FilmSettings& film) {
    if (film.neutralCount < kMaxNeutralPicks) {
        return 0;
    }
    const ChannelValues first = DensitiesOf(film, film.neutrals[0]);
    const ChannelValues second = DensitiesOf(film, film.neutrals[1]);
    return second[kGreen] > first[kGreen] ? 1 : 0;
}

FilmFit FitColour(const FilmSamples& samples) {
    std::array<Reading, kChannelCount> readings;
    double clearer = 0.0;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        readings[c] = ReadingOf((*samples.frame)[c], BaseOf(samples, c), samples.basePicked);
        clearer = std::max(clearer, readings[c].clearerShare);
    }
    if (clearer > kMaxClearerShare) {
        return {{FilmFault::BaseNotClearest, 0, clearer}, {}};
    }
    FilmSettings film;
    film.mode = FilmMode::ColourNegative;
    film.neutralCount = std::min(samples.neutrals.size(), kMaxNeutralPicks);
    for (std::size_t k = 0; k < film.neutralCount; ++k) {
        film.neutrals[k] = samples.neutrals[k];
    }
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        film.stages[c] = StageOf(readings[c], kNegativeExponent);
    }
    film = RoundedForFile(film);
    ChannelValues ratios = RangeRatios(readings);
    if (const FilmProblem problem = CheckNeutralPicks(film, ratios);
        problem.fault != FilmFault::None) {
        return {problem, {}};
    }
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        film.stages[c] = StageOf(readings[c], kNegativeExponent * ratios[c]);
    }
    film = RoundedForFile(film);
    SetNeutralScales(film);
    return {{}, RoundedForFile(film)};
}

FilmFit FitBlackAndWhite(const FilmSamples& samples) {
    const TransmissionCounts frame = Pooled(*samples.frame);
    const Reading reading = ReadingOf(frame, BaseOf(samples, kGreen), samples.basePicked);
    if (reading.clearerShare > kMaxClearerShare) {
        return {{FilmFault::BaseNotClearest, 0, reading.clearerShare}, {}};
    }
    FilmSettings film;
    film.mode = FilmMode::BlackAndWhite;
    film.stages.fill(StageOf(reading, kNegativeExponent));
    return {{}, RoundedForFile(film)};
}

} // namespace

FilmProblem CheckNeutralPicks(const FilmSettings& film, ChannelValues& ratios) {
    for (std::size_t k = 0; k < film.neutralCount; ++k) {
        const ChannelValues d = DensitiesOf(film, film.neutrals[k]);
        if (*std::min_element(d.begin(), d.end()) < kMinPickDensity) {
            return {FilmFault::NeutralLikeBase, k + 1, 0.0};
        }
    }
    if (film.neutralCount < kMaxNeutralPicks) {
        return {};
    }
    const std::size_t light = LightPick(film);
    const ChannelValues dLight = DensitiesOf(film, film.neutrals[light]);
    const ChannelValues dDark = DensitiesOf(film, film.neutrals[1 - light]);
    ChannelValues steps{};
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        steps[c] = dLight[c] - dDark[c];
        if (steps[c] < kMinPickSeparation) {
            return {FilmFault::NeutralsAlike, 0, 0.0};
        }
    }
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        ratios[c] = ClampedRatio(steps[kGreen], steps[c]);
    }
    return {};
}

void SetNeutralScales(FilmSettings& film) {
    if (film.neutralCount == 0) {
        return;
    }
    const ChannelValues& light = film.neutrals[LightPick(film)];
    ChannelValues positive{};
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        FilmStage unscaled = film.stages[c];
        unscaled.scale = 1.0;
        positive[c] = FilmPositive(unscaled, light[c]);
    }
    const double least = *std::min_element(positive.begin(), positive.end());
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        film.stages[c].scale = std::clamp(least / positive[c], kMinFilmScale, kMaxFilmScale);
    }
}

FilmFit FitFilm(FilmMode mode, const FilmSamples& samples) {
    switch (mode) {
    case FilmMode::ColourNegative:
        return FitColour(samples);
    case FilmMode::BlackAndWhite:
        return FitBlackAndWhite(samples);
    case FilmMode::Positive:
        break;
    }
    return {};
}
