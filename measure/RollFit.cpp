// The fit. With the base b_c every reading is a density d_c = log10(b_c / t).
// The balance: e_c = e_G * r_c, r_c = a_G / a_c for the grey axis a (or the
// two picks' density steps), so that a neutral's e_c d_c, and so its
// positive, is the same in every channel. A frame's exposure: its densest
// highlights in green's terms, D = max_c r_c D_c (no channel is lifted past
// its own highlights), and every channel's stage reaches that point,
// D_c = D / r_c, so e_c D_c is one number and a neutral stays neutral
// whatever the frame. One neutral pick sets the scales s_c once for the roll.
#include "measure/RollFit.h"

#include "measure/FilmMeasure.h"
#include "measure/GreyAxis.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMedianShare = 0.5;

double DensityAbove(double base, double t) {
    return std::log10(base / std::max(t, kDarkestTransmission));
}

// The median of every strip's base cells together.
ChannelValues RollBase(std::span<const StripSample> strips, FilmMode mode) {
    ChannelCounts all = EmptyChannelCounts();
    for (const StripSample& strip : strips) {
        for (std::size_t c = 0; c < kChannelCount && !strip.base[c].empty(); ++c) {
            std::transform(strip.base[c].begin(), strip.base[c].end(), all[c].begin(),
                           all[c].begin(), std::plus<>());
        }
    }
    ChannelValues base = MediansOf(all, mode);
    for (double& b : base) {
        b = std::clamp(b, kMinTransmission, kMaxTransmission);
    }
    return base;
}

// The largest share, over the channels, of the strip's sampled frame
// cells that are clearer than `base`.
double ClearerShare(const StripSample& strip, const ChannelValues& base) {
    std::array<std::size_t, kChannelCount> clearer{};
    std::size_t cells = 0;
    for (const FrameSample& frame : strip.frames) {
        for (const CellSteps& cell : frame.cells) {
            for (std::size_t c = 0; c < kChannelCount; ++c) {
                clearer[c] += double(cell[c]) / kTopTransmissionStep > base[c] ? 1 : 0;
            }
        }
        cells += frame.cells.size();
    }
    const std::size_t most = *std::max_element(clearer.begin(), clearer.end());
    return cells == 0 ? 0.0 : double(most) / double(cells);
}

// e_c / e_G from the grey axis of every frame's sampled cells.
std::optional<ChannelValues> AxisRatios(std::span<const StripSample> strips,
                                        const ChannelValues& base) {
    const std::vector<float>& stepDensities = StepDensities();
    ChannelValues baseDensity{};
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        baseDensity[c] = -std::log10(base[c]);
    }
    std::vector<Vector3> densities;
    for (const StripSample& strip : strips) {
        for (const FrameSample& frame : strip.frames) {
            for (const CellSteps& cell : frame.cells) {
                Vector3 d{};
                for (std::size_t c = 0; c < kChannelCount; ++c) {
                    d[c] = stepDensities[cell[c]] - baseDensity[c];
                }
                densities.push_back(d);
            }
        }
    }
    const std::optional<Vector3> axis = FitGreyAxis(densities);
    if (!axis) {
        return std::nullopt;
    }
    ChannelValues ratios{};
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        ratios[c] =
            std::clamp((*axis)[kGreen] / (*axis)[c], 1.0 / kMaxExponentRatio, kMaxExponentRatio);
    }
    return ratios;
}

// The frame's exposure in green's terms (the pooled one for black and white).
double ExposureOf(const FrameSample& frame, const FilmSettings& film) {
    if (film.mode == FilmMode::BlackAndWhite) {
        return DensityAbove(film.stages[kGreen].base, frame.pooledHighlight);
    }
    double exposure = 0.0;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        const FilmStage& stage = film.stages[c];
        const double ratio = stage.exponent / film.stages[kGreen].exponent;
        exposure = std::max(exposure, ratio * DensityAbove(stage.base, frame.highlight[c]));
    }
    return exposure;
}

FilmSettings Exposed(FilmSettings film, double exposure) {
    for (FilmStage& stage : film.stages) {
        const double ratio = stage.exponent / film.stages[kGreen].exponent;
        stage.density = std::clamp(exposure / ratio, kMinFilmDensity, kMaxFilmDensity);
    }
    return RoundedForFile(film);
}

// The roll's film before any exposure: base, exponents, picks.
FilmSettings Balanced(FilmMode mode, const ChannelValues& base, const ChannelValues& ratios,
                      const RollPicks& picks) {
    FilmSettings film = UnmeasuredFilm(mode);
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        film.stages[c].base = base[c];
        film.stages[c].exponent = kNegativeExponent * ratios[c];
    }
    if (mode == FilmMode::ColourNegative) {
        film.neutralCount = std::min(picks.neutrals.size(), kMaxNeutralPicks);
        std::copy_n(picks.neutrals.begin(), film.neutralCount, film.neutrals.begin());
    }
    return RoundedForFile(film);
}

// The balance's ratios: the two picks', else the grey axis', else none.
FilmProblem ChooseRatios(FilmMode mode, std::span<const StripSample> strips,
                         const ChannelValues& base, const RollPicks& picks, RollFit& fit) {
    if (mode != FilmMode::ColourNegative) {
        return {};
    }
    ChannelValues ratios{1.0, 1.0, 1.0};
    const FilmProblem problem = CheckNeutralPicks(Balanced(mode, base, ratios, picks), ratios);
    if (problem.fault != FilmFault::None || picks.neutrals.size() >= kMaxNeutralPicks) {
        fit.ratios = ratios;
        return problem;
    }
    if (const std::optional<ChannelValues> axis = AxisRatios(strips, base)) {
        fit.ratios = *axis;
        fit.fromGreyAxis = true;
    }
    return {};
}

void ExposeFrames(std::span<const StripSample> strips, const FilmSettings& balanced, RollFit& fit) {
    std::vector<double> exposures;
    for (const StripSample& strip : strips) {
        fit.frames.emplace_back();
        for (const FrameSample& frame : strip.frames) {
            exposures.push_back(ExposureOf(frame, balanced));
            fit.frames.back().push_back(Exposed(balanced, exposures.back()));
        }
    }
    std::nth_element(exposures.begin(), exposures.begin() + std::ptrdiff_t(exposures.size() / 2),
                     exposures.end());
    fit.roll =
        Exposed(balanced, exposures.empty() ? kUnmeasuredDensity : exposures[exposures.size() / 2]);
}

} // namespace

RollFit FitRoll(FilmMode mode, std::span<const StripSample> strips, const RollPicks& picks) {
    RollFit fit;
    const ChannelValues base = picks.base ? *picks.base : RollBase(strips, mode);
    if (picks.base && picks.baseStrip < strips.size()) {
        const double share = ClearerShare(strips[picks.baseStrip], base);
        if (share > kMaxClearerShare) {
            fit.problem = {FilmFault::BaseNotClearest, 0, share};
            return fit;
        }
    }
    fit.problem = ChooseRatios(mode, strips, base, picks, fit);
    if (fit.problem.fault != FilmFault::None) {
        return fit;
    }
    FilmSettings balanced = Balanced(mode, base, fit.ratios, picks);
    ExposeFrames(strips, balanced, fit);
    SetNeutralScales(fit.roll);
    fit.roll = RoundedForFile(fit.roll);
    for (std::vector<FilmSettings>& strip : fit.frames) {
        for (FilmSettings& frame : strip) {
            for (std::size_t c = 0; c < kChannelCount; ++c) {
                frame.stages[c].scale = fit.roll.stages[c].scale;
            }
        }
    }
    return fit;
}
