// Charts found with no hand on their corners, on scans of the simulated
// scanner: IT8 and ColorChecker laid square and at every quarter turn
// within five degrees, from the size of a fifth of the scan's width up, at
// several places on beds light and dark, in mild perspective, at 8 and 16
// bits; every corner within a quarter of a patch of the true one. Scans
// with no chart, or with another chart, find none and say what they saw.
#include "measure/ChartFinder.h"
#include "tests/measure/SimulatedScanner.h"

#include <gtest/gtest.h>

#include <ostream>

namespace chart_finder_test {

namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 700;
constexpr double kMostOff = 0.25; // pitches

struct FindCase {
    const char* name;
    ChartKind kind;
    int depth;
    double degrees;
    double widthShare; // the chart's width against the scan's
    double x, y;       // its centre, as shares of the scan's width and height
    double perspective;
    double noise;
    double bedLightness;
};

// Cases print as their names.
void PrintTo(const FindCase& c, std::ostream* out) {
    *out << c.name;
}

const FindCase kFinds[] = {
    {"It8SquareOnALightBed", ChartKind::It8, 16, 0.0, 0.5, 0.5, 0.5, 0.0, 0.3, 95},
    {"It8QuarterTurnEightBits", ChartKind::It8, 8, 94.0, 0.32, 0.3, 0.55, 0.0, 0.4, 8},
    {"It8HalfTurnAFifthWide", ChartKind::It8, 16, 175.0, 0.2, 0.75, 0.35, 0.0, 0.3, 95},
    {"It8ThreeQuartersInPerspective", ChartKind::It8, 16, 273.0, 0.4, 0.5, 0.5, 0.05, 0.3, 60},
    {"It8FiveDegreesInACorner", ChartKind::It8, 8, -5.0, 0.25, 0.16, 0.83, 0.03, 0.3, 95},
    {"CheckerSquareAFifthWide", ChartKind::ColorChecker24, 8, 5.0, 0.2, 0.2, 0.2, 0.0, 0.4, 95},
    {"CheckerQuarterTurnInPerspective", ChartKind::ColorChecker24, 16, 87.0, 0.35, 0.6, 0.5, 0.05,
     0.3, 8},
    {"CheckerHalfTurn", ChartKind::ColorChecker24, 16, 182.0, 0.5, 0.5, 0.45, 0.0, 0.3, 95},
    {"CheckerThreeQuartersEightBits", ChartKind::ColorChecker24, 8, 265.0, 0.6, 0.45, 0.5, 0.02,
     0.4, 60},
};

simscan::Scanner ScannerFor(const FindCase& c) {
    simscan::Scanner scanner = simscan::TypicalScanner(c.kind, c.noise);
    scanner.depth = c.depth;
    scanner.bed = {c.bedLightness, 0, 0};
    return scanner;
}

ChartReference ReferenceFor(ChartKind kind) {
    return kind == ChartKind::It8 ? ChartReference(simscan::It8Patches(false))
                                  : BuiltInColorChecker();
}

ChartCorners TrueCorners(const FindCase& c) {
    const ChartLayout& layout = LayoutOf(c.kind);
    const ChartBox e = ExtentOf(layout);
    const double pitch = c.widthShare * kWidth / (e.right - e.left);
    return simscan::InPerspective(
        simscan::Centred(layout, c.x * kWidth, c.y * kHeight, pitch, c.degrees), c.perspective);
}

double Distance(ImagePoint a, ImagePoint b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

class FindTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindTest, FindsEveryCornerWithinAQuarterOfAPatch) {
    const FindCase& c = GetParam();
    const ChartLayout& layout = LayoutOf(c.kind);
    const ChartReference reference = ReferenceFor(c.kind);
    const ChartCorners truth = TrueCorners(c);
    const ChartScan scan = simscan::Scan(ScannerFor(c), layout, reference, truth, kWidth, kHeight);
    const FindOutcome found = FindChart(scan, c.kind, &reference);
    ASSERT_TRUE(std::holds_alternative<ChartCorners>(found));
    const ChartCorners& corners = std::get<ChartCorners>(found);
    // The pitch near each corner, from the two edges that meet there.
    for (std::size_t i = 0; i < 4; ++i) {
        const double across = Distance(truth[i], truth[i ^ 1]) / layout.columns;
        const double down = Distance(truth[i], truth[3 - i]) / layout.rows;
        EXPECT_LE(Distance(corners[i], truth[i]), kMostOff * std::min(across, down))
            << "corner " << i + 1 << " at " << corners[i].x << "," << corners[i].y << " for "
            << truth[i].x << "," << truth[i].y;
    }
}

INSTANTIATE_TEST_SUITE_P(Placements, FindTest, testing::ValuesIn(kFinds),
                         [](const auto& info) { return std::string(info.param.name); });

struct MissCase {
    const char* name;
    ChartKind lookedFor;
    ChartKind scanned; // where `chartShare` is above 0
    double chartShare;
    double noise;
    double dust;
    int columns; // the lattice found instead, or 0
    int rows;
};

// Cases print as their names.
void PrintTo(const MissCase& c, std::ostream* out) {
    *out << c.name;
}

const MissCase kMisses[] = {
    {"BlankBed", ChartKind::It8, ChartKind::It8, 0.0, 0.0, 0.0, 0, 0},
    {"NoisyDustyBed", ChartKind::ColorChecker24, ChartKind::It8, 0.0, 2.0, 0.01, 0, 0},
    {"ColorCheckerForAnIt8", ChartKind::It8, ChartKind::ColorChecker24, 0.4, 0.3, 0.0, 6, 4},
    {"It8ForAColorChecker", ChartKind::ColorChecker24, ChartKind::It8, 0.5, 0.3, 0.0, 22, 12},
};

class MissTest : public testing::TestWithParam<MissCase> {};

TEST_P(MissTest, FindsNoChartAndSaysWhatItSaw) {
    const MissCase& c = GetParam();
    const FindCase lay{c.name, c.scanned, 16, 1.0, c.chartShare, 0.5, 0.5, 0.0, c.noise, 90};
    simscan::Scanner scanner = ScannerFor(lay);
    scanner.dustShare = c.dust;
    const ChartReference reference = ReferenceFor(c.scanned);
    ChartScan scan;
    if (c.chartShare > 0) {
        scan = simscan::Scan(scanner, LayoutOf(c.scanned), reference, TrueCorners(lay), kWidth,
                             kHeight);
    } else {
        scanner.card = scanner.bed; // a chart's card as the bed: nothing but the bed
        const ChartCorners away = simscan::Centred(LayoutOf(c.scanned), -1000, -1000, 1, 0);
        scan = simscan::Scan(scanner, LayoutOf(c.scanned), reference, away, kWidth, kHeight);
    }
    const ChartReference looked = ReferenceFor(c.lookedFor);
    const FindOutcome found = FindChart(scan, c.lookedFor, &looked);
    ASSERT_TRUE(std::holds_alternative<ChartNotFound>(found));
    EXPECT_EQ(std::get<ChartNotFound>(found).columns, c.columns);
    EXPECT_EQ(std::get<ChartNotFound>(found).rows, c.rows);
}

INSTANTIATE_TEST_SUITE_P(Scans, MissTest, testing::ValuesIn(kMisses),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

} // namespace chart_finder_test
