// The held-out figures: each patch through a fit made without its fold. On
// a ColorChecker, where 24 patches meet a curve and matrix fit, they stand
// well above the self-fit figures and the summary warns; on an IT8 they
// stay near them; every patch gets one, and a chart too small for the folds
// none.
#include "measure/HeldOut.h"
#include "measure/CalibrationReport.h"
#include "tests/measure/SimulatedScanner.h"

#include <gtest/gtest.h>

#include <numeric>
#include <ostream>

namespace held_out_test {

namespace {

struct FoldCase {
    const char* name;
    ChartKind chart;
    double noise; // levels, per patch
    bool warned;  // the held-out mean is more than twice the self-fit mean
};

void PrintTo(const FoldCase& c, std::ostream* out) {
    *out << c.name;
}

const FoldCase kFolds[] = {
    {"NoisyColorChecker", ChartKind::ColorChecker24, 0.5, true},
    {"NoisyIt8", ChartKind::It8, 0.5, false},
};

double Mean(const std::vector<double>& values) {
    return std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
}

class HeldOut : public testing::TestWithParam<FoldCase> {};

TEST_P(HeldOut, StandAboveTheSelfFitAsTheFitFollowsNoise) {
    const FoldCase& c = GetParam();
    simscan::Scanner scanner;
    scanner.channels = {{{{23, 241, 85, 220}}, {{5, 250, 120, 180}}, {{70, 230, 94, 205}}}};
    scanner.crosstalk = {0.9, 0.07, 0.03, 0.05, 0.9, 0.05, 0.02, 0.08, 0.9};
    const ChartReference reference = c.chart == ChartKind::It8
                                         ? ChartReference(simscan::It8Patches(false))
                                         : BuiltInColorChecker();
    const std::vector<ProfilePatch> patches =
        simscan::PatchesOf(scanner, LayoutOf(c.chart), reference, c.noise);
    const ShaperMatrix model = FitShaperMatrix(patches);
    std::vector<double> selfFit;
    for (const ProfilePatch& p : patches) {
        selfFit.push_back(DeltaE2000(LabOf(XyzThrough(model, p.device)), p.reference));
    }
    const std::vector<double> heldOut = HeldOutDeltaE(patches);
    ASSERT_EQ(heldOut.size(), patches.size());
    EXPECT_GT(Mean(heldOut), Mean(selfFit));
    EXPECT_EQ(Mean(heldOut) > kHeldOutWarning * Mean(selfFit), c.warned)
        << "held out " << Mean(heldOut) << ", self-fit " << Mean(selfFit);
}

INSTANTIATE_TEST_SUITE_P(Charts, HeldOut, testing::ValuesIn(kFolds),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HeldOutFigures, NoneForAChartSmallerThanTheFolds) {
    const std::vector<ProfilePatch> four(4, ProfilePatch{{0.5, 0.5, 0.5}, {50, 0, 0}, true});
    EXPECT_TRUE(HeldOutDeltaE(four).empty());
}

TEST(HeldOutFigures, TheSummaryGivesThemAndWarns) {
    simscan::Scanner scanner;
    scanner.noise = 2.0;
    const ChartLayout& layout = LayoutOf(ChartKind::ColorChecker24);
    const ChartCorners corners = simscan::Placed(layout, 20, 12, 24, 0);
    const ChartScan scan = simscan::Scan(scanner, layout, BuiltInColorChecker(), corners, 200, 130);
    const CalibrationOutcome outcome =
        Calibrate(scan, ChartKind::ColorChecker24, BuiltInColorChecker(), corners, "t");
    ASSERT_TRUE(std::holds_alternative<Calibration>(outcome));
    const Calibration& c = std::get<Calibration>(outcome);
    const std::string summary = SummaryText(c);
    EXPECT_NE(summary.find("held out (5-fold cross-validation): mean"), std::string::npos);
    ASSERT_TRUE(HeldOutFarAbove(c)) << summary;
    EXPECT_NE(summary.find("warning: the held-out mean is more than twice"), std::string::npos);
    double sum = 0;
    for (const PatchResult& p : c.patches) {
        sum += p.heldOut;
    }
    EXPECT_NEAR(c.heldOut.mean, sum / double(c.patches.size()), 1e-12);
}

} // namespace

} // namespace held_out_test
