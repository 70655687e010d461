// A chart scan turned into what calibration gives: the twelve slider
// positions that make the chart's grey scale neutral and put it on the
// start-up curve, an ICC input profile of the linear scan, and for every
// patch its reference colour, its colour through the profile and their
// CIEDE2000 difference. Or the one problem that stopped it.
#pragma once

#include "measure/ChartFigures.h"
#include "measure/ChartReference.h"
#include "measure/PatchSampling.h"
#include "measure/ToneFit.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

enum class CalibrationFault {
    Degenerate,      // the corners bound no usable quadrilateral
    OutsideScan,     // `patch`'s sampled box reaches outside the scan
    NoPixels,        // `patch`'s sampled box holds no pixel: the chart is too small
    MissingPatch,    // the reference lacks `patch`
    GreyClipped,     // `patch` is at the top level on some channel
    GreysOutOfOrder, // `patch` is lighter than `other`, the grey before it
    ProfileFailed,   // LittleCMS could not make or read the profile: `detail`
    PatchesMixed,    // `count` boxes, `patch` the first, are not uniform inside
    GreysFlat,       // the grey scale spans only `figure` of lightness
    GreysAlike,      // `patch` reads as `other`, the grey before it
    FitImplausible,  // a mean CIEDE2000 of `figure`, which no chart gives with its reference
};

struct CalibrationProblem {
    CalibrationFault fault;
    std::string patch;
    std::string other;
    std::string detail;
    std::size_t count = 0;
    double figure = 0;
};

struct PatchResult {
    std::string id;
    bool grey = false;
    PatchSample sample;
    LabColour reference;
    LabColour profiled; // the sample through the written profile
    double deltaE = 0;  // CIEDE2000 of the two
    double heldOut = 0; // CIEDE2000 through the fit that did not see the patch
};

struct DeltaESummary {
    double mean = 0;
    double percentile90 = 0; // the nearest-rank 90th percentile
    double largest = 0;
};

struct Calibration {
    ChartKind chart = ChartKind::ColorChecker24;
    std::array<ParamPositions, kChannelCount> positions{}; // red, green, blue
    std::array<ToneFit, 3> fits{}; // each channel's grey error before and after
    std::vector<PatchResult> patches;
    DeltaESummary summary;
    DeltaESummary heldOut; // of the patches' held-out differences (HeldOut.h)
    std::vector<std::uint8_t> profile;
    // The scan through the fitted tables and the profile rewritten for them,
    // as the guidelines judge it; made by Calibrate, which has the pixels.
    // Without it, why not: the calibration stands without its verdict.
    std::optional<ChartFigures> delivered;
    std::string deliveredWhy;
};

// The held-out mean is more than twice the self-fit mean: the profile
// follows these patches more closely than it will follow other colours.
inline constexpr double kHeldOutWarning = 2.0;
bool HeldOutFarAbove(const Calibration& calibration);

using CalibrationOutcome = std::variant<Calibration, CalibrationProblem>;

// The chart sampled where the corners put it, then calibrated from its
// samples, and the figures of the scan as it will be delivered through what
// was fitted. `description` names the profile.
CalibrationOutcome Calibrate(const ChartScan& scan, ChartKind chart,
                             const ChartReference& reference, const ChartCorners& corners,
                             std::string_view description);

DeltaESummary SummaryOf(std::span<const double> deltaE);

// A sampling problem as calibration names it.
CalibrationProblem ProblemOf(const SamplingProblem& problem);

// The fitted positions' curves as tables (4096 entries each) and the
// profile rewritten for them: what a scan through them is delivered as.
Outcome<Delivery> FittedDelivery(const Calibration& calibration);
