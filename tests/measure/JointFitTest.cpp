// The profile's curves fitted together with its matrix: on simulated
// scanners (a highlight knee in one channel, strong flare, heavy crosstalk,
// noise) the joint fit's mean CIEDE2000 is never above the grey-scale fit's
// (the fit before it), and on the knee its largest falls well below; its
// curves rise whatever they are bent by, and unbent are the start.
#include "measure/JointFit.h"
#include "measure/BentCurve.h"
#include "tests/measure/SimulatedScanner.h"

#include <gtest/gtest.h>

#include <ostream>

namespace joint_fit_test {

namespace {

constexpr Matrix3 kMildCrosstalk = {0.9, 0.07, 0.03, 0.05, 0.9, 0.05, 0.02, 0.08, 0.9};
constexpr Matrix3 kHeavyCrosstalk = {0.8, 0.15, 0.05, 0.1, 0.8, 0.1, 0.05, 0.15, 0.8};
constexpr std::array<ParamPositions, 3> kScanner = {
    {{23, 241, 85, 220}, {5, 250, 120, 180}, {70, 230, 94, 205}}};
constexpr std::array<ParamPositions, 3> kFlare = {
    {{90, 241, 85, 220}, {60, 250, 120, 180}, {120, 230, 94, 205}}};

struct ScannerCase {
    const char* name;
    ChartKind chart;
    std::array<ParamPositions, 3> truth;
    Matrix3 crosstalk;
    double knee;  // red's, 1 for none
    double noise; // levels, per patch
    // The joint fit's largest difference at most this (0: not above the
    // grey-scale fit's).
    double largest;
};

void PrintTo(const ScannerCase& c, std::ostream* out) {
    *out << c.name;
}

const ScannerCase kScanners[] = {
    {"KneeIt8", ChartKind::It8, kScanner, kMildCrosstalk, 0.6, 0.0, 1.39},
    {"FlareIt8", ChartKind::It8, kFlare, kMildCrosstalk, 1.0, 0.0, 0},
    {"CrosstalkIt8", ChartKind::It8, kScanner, kHeavyCrosstalk, 1.0, 0.0, 0},
    {"NoiseIt8", ChartKind::It8, kScanner, kMildCrosstalk, 1.0, 0.3, 0},
    {"KneeColorChecker", ChartKind::ColorChecker24, kScanner, kMildCrosstalk, 0.6, 0.0, 0},
    {"NoiseColorChecker", ChartKind::ColorChecker24, kScanner, kMildCrosstalk, 1.0, 0.3, 0},
};

struct Figures {
    double mean = 0;
    double largest = 0;
};

Figures FiguresOf(const ShaperMatrix& model, std::span<const ProfilePatch> patches) {
    Figures f;
    for (const ProfilePatch& p : patches) {
        const double d = DeltaE2000(LabOf(XyzThrough(model, p.device)), p.reference);
        f.mean += d / double(patches.size());
        f.largest = std::max(f.largest, d);
    }
    return f;
}

std::vector<ProfilePatch> PatchesOf(const ScannerCase& c) {
    simscan::Scanner scanner;
    for (std::size_t ch = 0; ch < 3; ++ch) {
        scanner.channels[ch].positions = c.truth[ch];
    }
    scanner.crosstalk = c.crosstalk;
    scanner.knee = {c.knee, 1, 1};
    // Colours lighter in a channel than the lightest grey, where a knee shows.
    const ChartReference reference = c.chart == ChartKind::It8
                                         ? ChartReference(simscan::It8Patches(false, 0.97))
                                         : BuiltInColorChecker();
    return simscan::PatchesOf(scanner, LayoutOf(c.chart), reference, c.noise);
}

class JointFit : public testing::TestWithParam<ScannerCase> {};

TEST_P(JointFit, NeverRaisesTheMeanAndFollowsTheKnee) {
    const ScannerCase& c = GetParam();
    const std::vector<ProfilePatch> patches = PatchesOf(c);
    const Figures joint = FiguresOf(FitShaperMatrix(patches), patches);
    const Figures greys = FiguresOf(FitThroughGreys(patches), patches);
    EXPECT_LT(joint.mean, greys.mean);
    EXPECT_LE(joint.largest, c.largest > 0 ? c.largest : greys.largest + 1e-9);
    if (c.largest > 0) {
        EXPECT_LT(joint.largest, greys.largest / 2) << "the grey-scale fit's " << greys.largest;
    }
}

INSTANTIATE_TEST_SUITE_P(Scanners, JointFit, testing::ValuesIn(kScanners),
                         [](const auto& info) { return std::string(info.param.name); });

// A curve of slope 2 on log scales with a bend in it, its flare 0.01.
LogCurve StartCurve() {
    return LogCurve(0.01, {{-4.0, -8.0}, {-2.0, -4.5}, {-1.0, -2.0}, {0.0, -0.1}});
}

struct BendCase {
    const char* name;
    std::vector<double> delta;
};

void PrintTo(const BendCase& c, std::ostream* out) {
    *out << c.name;
}

const BendCase kBends[] = {
    {"Unbent", {0, 0, 0, 0}},
    {"SteeperAtTheTop", {0, 0, 0.5, 2.0}},
    {"FlatterInTheShadows", {-3.0, -1.0, 0, 0}},
    {"Zigzag", {2.5, -2.5, 2.5, -2.5}},
};

class Bends : public testing::TestWithParam<BendCase> {};

TEST_P(Bends, RiseEverywhereAndKeepTheAnchor) {
    const LogCurve start = StartCurve();
    BentCurve bent(start, {-4.5, -2.0, -1.0, -0.2}, 2);
    bent.Bend(GetParam().delta);
    const std::vector<double> table = bent.Table(1024);
    for (std::size_t i = 1; i < table.size(); ++i) {
        ASSERT_GE(table[i], table[i - 1]) << "entry " << i;
    }
    const double anchor = 0.01 + std::exp(-1.0);
    EXPECT_NEAR(bent(anchor), start(anchor), 1e-12);
    const bool unbent = std::all_of(GetParam().delta.begin(), GetParam().delta.end(),
                                    [](double d) { return d == 0; });
    for (const double device : {0.02, 0.1, 0.3, 0.9, 1.0}) {
        if (unbent) {
            EXPECT_NEAR(bent(device), start(device), 1e-12) << device;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Deltas, Bends, testing::ValuesIn(kBends),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LogCurves, SlopeIsTheDerivativeAndNormalisedEndsAtOne) {
    const LogCurve curve = StartCurve();
    for (const double x : {-5.0, -3.0, -1.5, -0.5, 0.5}) {
        const double step = 1e-6;
        const double numeric = (curve.LogAt(x + step) - curve.LogAt(x - step)) / (2 * step);
        EXPECT_NEAR(curve.SlopeAt(x), numeric, 1e-6) << x;
    }
    EXPECT_NEAR(curve.Normalised()(1.0), 1.0, 1e-12);
    EXPECT_NEAR(curve.Normalised()(0.5) / curve(0.5), 1.0 / curve.Top(), 1e-12);
}

} // namespace

} // namespace joint_fit_test
