// A grey's lightness is the lightness of its three channels' mean; the
// reference's order of the greys is by luminance Y, as the tables' fit
// takes it.
#include "measure/Plausibility.h"

#include "measure/Lightness.h"

#include <algorithm>

namespace {

constexpr double kGreyChannels = 3.0;

double ReferenceLuminance(const LabColour& lab) {
    return XyzOf(lab).Y;
}

double GreyLightness(const PatchSample& sample) {
    return LightnessOf((sample.value[0] + sample.value[1] + sample.value[2]) / kGreyChannels);
}

bool Mixed(const PatchSample& sample) {
    for (std::size_t c = 0; c < sample.value.size(); ++c) {
        if (LightnessOf(sample.middleHigh[c]) - LightnessOf(sample.middleLow[c]) > kMixedSpread) {
            return true;
        }
    }
    return false;
}

std::optional<CalibrationProblem> MixedProblem(const ChartSamples& samples,
                                               const ChartLayout& layout) {
    std::size_t mixed = 0;
    std::string first;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (Mixed(samples[i])) {
            first = mixed++ == 0 ? layout.patches[i].id : first;
        }
    }
    if (double(mixed) <= kMixedShare * double(samples.size())) {
        return std::nullopt;
    }
    return CalibrationProblem{CalibrationFault::PatchesMixed, first, {}, {}, mixed, 0};
}

std::optional<CalibrationProblem> ClippedProblem(const ChartSamples& samples,
                                                 const ChartLayout& layout) {
    for (const std::size_t g : layout.greys) {
        const PatchSample& s = samples[g];
        if (s.clipped[0] || s.clipped[1] || s.clipped[2]) {
            return CalibrationProblem{CalibrationFault::GreyClipped, layout.patches[g].id, {}, {}};
        }
    }
    return std::nullopt;
}

std::optional<CalibrationProblem> FlatProblem(const ChartSamples& samples,
                                              const ChartLayout& layout) {
    double least = GreyLightness(samples[layout.greys.front()]);
    double most = least;
    for (const std::size_t g : layout.greys) {
        least = std::min(least, GreyLightness(samples[g]));
        most = std::max(most, GreyLightness(samples[g]));
    }
    if (most - least >= kLeastGreyRange) {
        return std::nullopt;
    }
    return CalibrationProblem{CalibrationFault::GreysFlat, {}, {}, {}, 0, most - least};
}

// Each grey against the one before it: alike where the reference tells
// them apart, or lighter where the reference has it darker.
std::optional<CalibrationProblem> OrderProblem(const ChartSamples& samples,
                                               const ChartLayout& layout,
                                               const ChartReference& reference) {
    for (std::size_t k = 1; k < layout.greys.size(); ++k) {
        const ChartPatch& before = layout.patches[layout.greys[k - 1]];
        const ChartPatch& patch = layout.patches[layout.greys[k]];
        const LabColour& was = reference.Find(before.id)->lab;
        const LabColour& is = reference.Find(patch.id)->lab;
        const double step =
            GreyLightness(samples[layout.greys[k]]) - GreyLightness(samples[layout.greys[k - 1]]);
        if (std::abs(was.L - is.L) >= kDistinctReference && std::abs(step) < kAlike) {
            return CalibrationProblem{CalibrationFault::GreysAlike, patch.id, before.id, {}};
        }
        if (ReferenceLuminance(is) < ReferenceLuminance(was) && step > 0) {
            return CalibrationProblem{CalibrationFault::GreysOutOfOrder, patch.id, before.id, {}};
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<CalibrationProblem> SamplesProblem(const ChartSamples& samples,
                                                 const ChartLayout& layout,
                                                 const ChartReference& reference) {
    if (auto problem = MixedProblem(samples, layout)) {
        return problem;
    }
    if (auto problem = ClippedProblem(samples, layout)) {
        return problem;
    }
    if (auto problem = FlatProblem(samples, layout)) {
        return problem;
    }
    return OrderProblem(samples, layout, reference);
}

std::optional<CalibrationProblem> FitProblem(const Calibration& calibration) {
    if (calibration.summary.mean <= kImplausibleMean) {
        return std::nullopt;
    }
    return CalibrationProblem{CalibrationFault::FitImplausible, {}, {}, {}, 0,
                              calibration.summary.mean};
}
