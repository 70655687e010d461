// The order of the checks is the order a user fixes things in: the corners,
// the reference, then the scan itself (measure/Plausibility.h), and last
// the fit's own plausibility. The tables fit each
// channel to the grey scale; the profile is fitted to every patch, written,
// and every sample taken back through it by LittleCMS for the report.
#include "measure/Calibration.h"

#include "measure/InputProfile.h"
#include "measure/Plausibility.h"
#include "measure/ProfileFit.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTopInput = 255.0;
constexpr double kPercentile = 0.9;

double Luminance(const LabColour& lab) {
    return XyzOf(lab).Y;
}

void FitTables(const ChartSamples& samples, const ChartLayout& layout,
               const ChartReference& reference, Calibration& result) {
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        std::vector<GreyPoint> points;
        for (const std::size_t g : layout.greys) {
            const double y = Luminance(reference.Find(layout.patches[g].id)->lab);
            points.push_back({samples[g].value[c] * kTopInput, StartupTarget(y)});
        }
        result.fits[c] = FitChannel(points);
        result.positions[c] = result.fits[c].positions;
    }
}

std::optional<CalibrationProblem> FitProfile(const ChartSamples& samples, const ChartLayout& layout,
                                             const ChartReference& reference,
                                             std::string_view description, Calibration& result) {
    std::vector<ProfilePatch> patches;
    std::vector<Vector3> device;
    for (std::size_t i = 0; i < layout.patches.size(); ++i) {
        const ChartPatch& patch = layout.patches[i];
        patches.push_back({samples[i].value, reference.Find(patch.id)->lab, patch.grey});
        device.push_back(samples[i].value);
    }
    Outcome<std::vector<std::uint8_t>> profile =
        WriteInputProfile(FitShaperMatrix(patches), description);
    if (!profile) {
        return CalibrationProblem{CalibrationFault::ProfileFailed, {}, {}, profile.Why().Text};
    }
    const Outcome<std::vector<LabColour>> labs = LabsThroughProfile(*profile, device);
    if (!labs) {
        return CalibrationProblem{CalibrationFault::ProfileFailed, {}, {}, labs.Why().Text};
    }
    for (std::size_t i = 0; i < patches.size(); ++i) {
        const ChartPatch& patch = layout.patches[i];
        result.patches.push_back({patch.id, patch.grey, samples[i], patches[i].reference,
                                  (*labs)[i], DeltaE2000((*labs)[i], patches[i].reference)});
    }
    result.profile = std::move(*profile);
    result.summary = SummaryOf(result.patches);
    return std::nullopt;
}

CalibrationProblem FromSampling(const SamplingProblem& problem) {
    switch (problem.fault) {
    case SamplingFault::Degenerate:
        return {CalibrationFault::Degenerate, {}, {}, {}};
    case SamplingFault::OutsideScan:
        return {CalibrationFault::OutsideScan, problem.patch, {}, {}};
    case SamplingFault::NoPixels:
        break;
    }
    return {CalibrationFault::NoPixels, problem.patch, {}, {}};
}

} // namespace

DeltaESummary SummaryOf(std::span<const PatchResult> patches) {
    if (patches.empty()) {
        return {};
    }
    std::vector<double> sorted;
    double sum = 0;
    for (const PatchResult& p : patches) {
        sorted.push_back(p.deltaE);
        sum += p.deltaE;
    }
    std::sort(sorted.begin(), sorted.end());
    const auto rank = static_cast<std::size_t>(std::ceil(kPercentile * double(sorted.size())));
    return {sum / double(sorted.size()), sorted[std::max<std::size_t>(rank, 1) - 1], sorted.back()};
}

namespace {

// The fits from the patches' samples, once the reference holds every patch
// and the grey scale was scanned in order and below the top level.
CalibrationOutcome CalibrateSamples(const ChartSamples& samples, ChartKind chart,
                                    const ChartReference& reference, std::string_view description) {
    const ChartLayout& layout = LayoutOf(chart);
    if (const std::optional<std::string> missing = MissingPatch(layout, reference)) {
        return CalibrationProblem{CalibrationFault::MissingPatch, *missing, {}, {}};
    }
    if (std::optional<CalibrationProblem> problem = SamplesProblem(samples, layout, reference)) {
        return *problem;
    }
    Calibration result;
    result.chart = chart;
    FitTables(samples, layout, reference, result);
    if (std::optional<CalibrationProblem> problem =
            FitProfile(samples, layout, reference, description, result)) {
        return *problem;
    }
    if (std::optional<CalibrationProblem> problem = FitProblem(result)) {
        return *problem;
    }
    return result;
}

} // namespace

CalibrationOutcome Calibrate(const ChartScan& scan, ChartKind chart,
                             const ChartReference& reference, const ChartCorners& corners,
                             std::string_view description) {
    const auto sampled = SampleChart(scan, LayoutOf(chart), corners);
    if (const auto* problem = std::get_if<SamplingProblem>(&sampled)) {
        return FromSampling(*problem);
    }
    return CalibrateSamples(std::get<ChartSamples>(sampled), chart, reference, description);
}
