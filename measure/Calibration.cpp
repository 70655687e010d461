// The order of the checks is the order a user fixes things in: the corners,
// the reference, then the scan itself (measure/Plausibility.h), and last
// the fit's own plausibility; only a calibration that passes them all gets
// its held-out figures and the verdict on the scan through what was fitted.
// The tables fit each channel to the grey scale; the profile is fitted to
// every patch, written, and every sample taken back through it by
// LittleCMS for the report.
#include "measure/Calibration.h"

#include "measure/HeldOut.h"
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

std::vector<ProfilePatch> ProfilePatches(const ChartSamples& samples, const ChartLayout& layout,
                                         const ChartReference& reference) {
    std::vector<ProfilePatch> patches;
    for (std::size_t i = 0; i < layout.patches.size(); ++i) {
        const ChartPatch& patch = layout.patches[i];
        patches.push_back({samples[i].value, reference.Find(patch.id)->lab, patch.grey});
    }
    return patches;
}

std::optional<CalibrationProblem> FitProfile(const ChartSamples& samples, const ChartLayout& layout,
                                             std::span<const ProfilePatch> patches,
                                             std::string_view description, Calibration& result) {
    std::vector<Vector3> device;
    for (const ProfilePatch& patch : patches) {
        device.push_back(patch.device);
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
    std::vector<double> selfFit;
    for (std::size_t i = 0; i < patches.size(); ++i) {
        const ChartPatch& patch = layout.patches[i];
        selfFit.push_back(DeltaE2000((*labs)[i], patches[i].reference));
        result.patches.push_back({patch.id, patch.grey, samples[i], patches[i].reference,
                                  (*labs)[i], selfFit.back(), 0.0});
    }
    result.profile = std::move(*profile);
    result.summary = SummaryOf(selfFit);
    return std::nullopt;
}

// The held-out figures, five fits more: made only for a calibration that
// stands, so a refused one costs one fit.
void AddHeldOut(std::span<const ProfilePatch> patches, Calibration& result) {
    const std::vector<double> heldOut = HeldOutDeltaE(patches);
    for (std::size_t i = 0; i < heldOut.size(); ++i) {
        result.patches[i].heldOut = heldOut[i];
    }
    result.heldOut = SummaryOf(heldOut);
}

constexpr std::size_t kTableEntries = 4096;

} // namespace

CalibrationProblem ProblemOf(const SamplingProblem& problem) {
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

bool HeldOutFarAbove(const Calibration& calibration) {
    return calibration.heldOut.mean > kHeldOutWarning * calibration.summary.mean;
}

DeltaESummary SummaryOf(std::span<const double> deltaE) {
    if (deltaE.empty()) {
        return {};
    }
    std::vector<double> sorted(deltaE.begin(), deltaE.end());
    double sum = 0;
    for (const double d : deltaE) {
        sum += d;
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
    const std::vector<ProfilePatch> patches = ProfilePatches(samples, layout, reference);
    if (std::optional<CalibrationProblem> problem =
            FitProfile(samples, layout, patches, description, result)) {
        return *problem;
    }
    if (std::optional<CalibrationProblem> problem = FitProblem(result)) {
        return *problem;
    }
    AddHeldOut(patches, result);
    return result;
}

} // namespace

CalibrationOutcome Calibrate(const ChartScan& scan, ChartKind chart,
                             const ChartReference& reference, const ChartCorners& corners,
                             std::string_view description) {
    const ChartLayout& layout = LayoutOf(chart);
    const auto sampled = SampleChart(scan, layout, corners);
    if (const auto* problem = std::get_if<SamplingProblem>(&sampled)) {
        return ProblemOf(*problem);
    }
    const ChartSamples& samples = std::get<ChartSamples>(sampled);
    CalibrationOutcome outcome = CalibrateSamples(samples, chart, reference, description);
    auto* result = std::get_if<Calibration>(&outcome);
    if (result == nullptr) {
        return outcome;
    }
    const Outcome<Delivery> delivery = FittedDelivery(*result);
    Outcome<ChartFigures> figures =
        delivery ? MeasureFigures(scan, layout, corners, samples, reference, *delivery)
                 : Outcome<ChartFigures>(delivery.Why());
    if (figures) {
        result->delivered = std::move(*figures);
    } else {
        result->deliveredWhy = figures.Why().Text;
    }
    return outcome;
}

Outcome<Delivery> FittedDelivery(const Calibration& calibration) {
    ChannelTables tables;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        for (std::size_t i = 0; i < kTableEntries; ++i) {
            const double level = double(i) * kTopInput / double(kTableEntries - 1);
            tables[c].push_back(CurveOutput(calibration.positions[c], level) / kTopInput);
        }
    }
    Outcome<std::vector<std::uint8_t>> profile = ProfileAfterTables(calibration.profile, tables);
    if (!profile) {
        return profile.Why();
    }
    return Delivery{std::move(tables), std::move(*profile)};
}
