// Calibration of chart scans made by a scanner the tests know: the fit finds
// the slider positions that undo each channel, the greys come out neutral
// and on the start-up curve, and the profile brings the patches near their
// references, whatever the chart, its rotation, the reference's spelling,
// the scan's depth, noise and dust.
#include "measure/Calibration.h"
#include "tests/measure/SimulatedScanner.h"

#include <gtest/gtest.h>

#include <ostream>

namespace calibration_test {

namespace {

using simscan::ChannelTruth;

enum class Reference { It8Lab, It8ShortIds, It8Xyz, CheckerBuiltIn };

struct FitCase {
    const char* name;
    Reference reference;
    std::array<ParamPositions, 3> truth;
    Matrix3 crosstalk;
    double noise;
    double dust;
    int depth;
    double degrees;
    double cornerError; // pitches the given corners are off the true ones
    // Which positions must come back within two steps: all four, or White
    // and Gamma where 8-bit levels or a misplaced corner leave Black and
    // Alpha free to trade (a step of Alpha moves the output by about 0.1
    // level), or none where the chart's greys are tinted as printed and the
    // fit makes them neutral instead.
    int recovered;
    double neutral; // greys' spread across channels, output levels
};

// Cases print as their names.
void PrintTo(const FitCase& c, std::ostream* out) {
    *out << c.name;
}

constexpr Matrix3 kNoCrosstalk = {1, 0, 0, 0, 1, 0, 0, 0, 1};
constexpr Matrix3 kCrosstalk = {0.9, 0.07, 0.03, 0.05, 0.9, 0.05, 0.02, 0.08, 0.9};

// Flare, gain and departure from linear differ per channel in every row.
const FitCase kFitCases[] = {
    {"It8Exact",
     Reference::It8Lab,
     {{{23, 241, 85, 220}, {5, 250, 120, 180}, {70, 230, 94, 205}}},
     kNoCrosstalk,
     0.0,
     0.0,
     16,
     0.0,
     0.0,
     4,
     1.0},
    {"It8RotatedNoisyDusty",
     Reference::It8Lab,
     {{{12, 236, 60, 230}, {40, 245, 140, 170}, {0, 252, 99, 200}}},
     kCrosstalk,
     0.3,
     0.003,
     16,
     3.0,
     0.0,
     4,
     1.0},
    {"It8ShortIdsEightBits",
     Reference::It8ShortIds,
     {{{30, 240, 90, 210}, {15, 248, 110, 190}, {50, 233, 99, 200}}},
     kCrosstalk,
     0.4,
     0.0,
     8,
     -2.0,
     0.0,
     2,
     2.0},
    {"It8XyzCornersOff",
     Reference::It8Xyz,
     {{{8, 244, 70, 215}, {25, 238, 125, 185}, {60, 250, 99, 200}}},
     kCrosstalk,
     0.2,
     0.002,
     16,
     1.0,
     0.08,
     2,
     1.0},
    {"ColorCheckerBuiltIn",
     Reference::CheckerBuiltIn,
     {{{23, 241, 85, 220}, {5, 250, 120, 180}, {70, 230, 94, 205}}},
     kCrosstalk,
     0.2,
     0.002,
     16,
     1.5,
     0.0,
     0,
     3.0},
};

ChartReference ReferenceOf(Reference kind) {
    switch (kind) {
    case Reference::It8ShortIds:
        return ChartReference(simscan::It8Patches(true));
    case Reference::It8Xyz: {
        const std::string text = simscan::Cgats(simscan::It8Patches(false), true);
        return *ReadReference({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    }
    case Reference::CheckerBuiltIn:
        return BuiltInColorChecker();
    case Reference::It8Lab:
        break;
    }
    return ChartReference(simscan::It8Patches(false));
}

struct Scanned {
    ChartKind chart;
    ChartReference reference;
    ChartScan scan;
    ChartCorners given;
};

Scanned ScanOf(const FitCase& c) {
    const ChartKind chart =
        c.reference == Reference::CheckerBuiltIn ? ChartKind::ColorChecker24 : ChartKind::It8;
    const ChartLayout& layout = LayoutOf(chart);
    const double pitch = chart == ChartKind::It8 ? 8.0 : 24.0;
    simscan::Scanner scanner;
    for (std::size_t ch = 0; ch < 3; ++ch) {
        scanner.channels[ch] = ChannelTruth{c.truth[ch]};
    }
    scanner.crosstalk = c.crosstalk;
    scanner.noise = c.noise;
    scanner.dustShare = c.dust;
    scanner.depth = c.depth;
    const ChartCorners truth = simscan::Placed(layout, 20, 12, pitch, c.degrees);
    ChartReference reference = ReferenceOf(c.reference);
    ChartScan scan = simscan::Scan(scanner, layout, reference, truth, 220, 170);
    const ChartCorners given = simscan::Placed(layout, 20 + c.cornerError * pitch,
                                               12 - c.cornerError * pitch, pitch, c.degrees);
    return {chart, std::move(reference), std::move(scan), given};
}

class FitTest : public testing::TestWithParam<FitCase> {};

TEST_P(FitTest, RecoversThePositionsAndProfilesThePatches) {
    const FitCase& c = GetParam();
    const Scanned s = ScanOf(c);
    const CalibrationOutcome outcome = Calibrate(s.scan, s.chart, s.reference, s.given, "test");
    ASSERT_TRUE(std::holds_alternative<Calibration>(outcome));
    const Calibration& result = std::get<Calibration>(outcome);
    const ChartLayout& layout = LayoutOf(s.chart);
    for (std::size_t ch = 0; ch < 3; ++ch) {
        for (const Param p : kAllParams) {
            const bool freeToTrade = p == Param::Black || p == Param::Alpha;
            if (c.recovered == 4 || (c.recovered == 2 && !freeToTrade)) {
                EXPECT_NEAR(result.positions[ch][p], c.truth[ch][p], 2)
                    << SpecOf(p).name << " of channel " << ch;
            }
        }
        EXPECT_LE(result.fits[ch].after.largest, 2.0) << "channel " << ch;
    }
    for (const std::size_t g : layout.greys) {
        std::array<double, 3> out{};
        for (std::size_t ch = 0; ch < 3; ++ch) {
            out[ch] = CurveOutput(result.positions[ch], result.patches[g].sample.value[ch] * 255);
        }
        const double spread =
            *std::max_element(out.begin(), out.end()) - *std::min_element(out.begin(), out.end());
        EXPECT_LE(spread, c.neutral) << layout.patches[g].id;
    }
    EXPECT_LE(result.summary.mean, 1.0);
    EXPECT_LE(result.summary.largest, 5.0);
}

INSTANTIATE_TEST_SUITE_P(Scans, FitTest, testing::ValuesIn(kFitCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

} // namespace calibration_test
