// A chart scan measured as delivered and judged, against figures worked out
// by hand: charts painted in a linear ROMM encoding whose profile is known,
// so that every patch is delivered as its reference; one exactly so (it
// passes every guideline's top level), one with every grey 2.5 L* too
// light (tone fails where the limit is under 2.5, and each grey's
// CIEDE2000 is 2.5 / S_L), one whose greys' pixels alternate 1.2 L* either
// side (noise 2.4 / 1.349), and the same chart delivered through tables.
#include "measure/Assessment.h"
#include "tests/measure/SimulatedScanner.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>

namespace assessment_test {

namespace {

constexpr double kPitch = 8.0;
double LightnessWeight(double L) {
    const double d2 = (L - 50) * (L - 50);
    return 1 + 0.015 * d2 / std::sqrt(20 + d2);
}

struct PaintCase {
    const char* name;
    double greyLift;    // L* added to every grey
    double greySpread;  // L* added and taken in turn from the greys' pixels
    bool throughTables; // painted as the square roots, delivered through squares
    const char* fadgi;
    const char* iso;
    const char* metamorfoze;
};

void PrintTo(const PaintCase& c, std::ostream* out) {
    *out << c.name;
}

const PaintCase kPaintings[] = {
    {"AsMeasured", 0.0, 0.0, false, "4 stars", "A", "Full"},
    {"GreysTooLight", 2.5, 0.0, false, "3 stars", "B", "Extra Light"},
    {"NoisyGreys", 0.0, 1.2, false, "4 stars", "A", "Extra Light"},
    {"ThroughTables", 0.0, 0.0, true, "4 stars", "A", "Full"},
};

struct Painting {
    ChartReference reference{simscan::It8Patches(false)};
    ChartCorners corners = simscan::Placed(LayoutOf(ChartKind::It8), 20, 12, kPitch, 1.0);
    ChartScan scan;
    Delivery delivery;
};

Painting Paint(const PaintCase& c) {
    Painting p;
    p.scan = simscan::EncodedIt8(p.reference, p.corners, 220, 170, c.greyLift, c.greySpread);
    if (c.throughTables) {
        for (std::uint16_t& v : p.scan.rgb) {
            v = std::uint16_t(std::lround(std::sqrt(v / 65535.0) * 65535.0));
        }
    }
    p.delivery.profile = simscan::RommProfile();
    if (c.throughTables) {
        ChannelTables squares;
        for (std::vector<double>& table : squares) {
            for (int i = 0; i < 4096; ++i) {
                table.push_back(std::pow(i / 4095.0, 2.0));
            }
        }
        p.delivery.tables = squares;
    }
    return p;
}

class Paintings : public testing::TestWithParam<PaintCase> {};

TEST_P(Paintings, GiveTheFiguresAndVerdictWorkedOutByHand) {
    const PaintCase& c = GetParam();
    const Painting p = Paint(c);
    const AssessmentOutcome outcome =
        Assess(p.scan, ChartKind::It8, p.reference, p.corners, p.delivery);
    ASSERT_TRUE(std::holds_alternative<ChartFigures>(outcome));
    const ChartFigures& f = std::get<ChartFigures>(outcome);
    const ChartLayout& layout = LayoutOf(ChartKind::It8);
    double sum = 0;
    double largest = 0;
    for (const std::size_t g : layout.greys) {
        const double L = p.reference.Find(layout.patches[g].id)->lab.L;
        const double d = c.greyLift / LightnessWeight(L + c.greyLift / 2);
        sum += d;
        largest = std::max(largest, d);
    }
    // The 16-bit steps of the painting and the profile; and where pixels
    // spread, their mean value lies a little off their mean L* (L* is not
    // linear in the values).
    const double tolerance = 0.02 + 0.05 * c.greySpread;
    EXPECT_NEAR(f.Of(ChartFigure::Tone), c.greyLift, tolerance);
    EXPECT_NEAR(f.Of(ChartFigure::WhiteBalance), 0.0, tolerance);
    EXPECT_NEAR(f.Of(ChartFigure::MeanDeltaE), sum / double(layout.patches.size()), tolerance);
    EXPECT_NEAR(f.Of(ChartFigure::LargestDeltaE), largest, tolerance);
    EXPECT_NEAR(f.Of(ChartFigure::LargestDeltaEUnitL), c.greyLift, tolerance);
    EXPECT_NEAR(f.Of(ChartFigure::Noise), 2 * c.greySpread / 1.349, 0.05);
    std::map<std::string, std::string> highest;
    for (const GuidelineVerdict& v : Judge(f, GuidelineLimits())) {
        highest[v.guideline] = v.HighestPassed().value_or("none");
    }
    EXPECT_EQ(highest["FADGI 2023"], c.fadgi);
    EXPECT_EQ(highest["ISO 19264-1"], c.iso);
    EXPECT_EQ(highest["Metamorfoze"], c.metamorfoze);
}

INSTANTIATE_TEST_SUITE_P(Charts, Paintings, testing::ValuesIn(kPaintings),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Assessment, NamesWhatStopsTheMeasurement) {
    const Painting p = Paint(kPaintings[0]);
    ChartCorners crossed = p.corners;
    std::swap(crossed[2], crossed[3]);
    const auto degenerate = Assess(p.scan, ChartKind::It8, p.reference, crossed, p.delivery);
    ASSERT_TRUE(std::holds_alternative<CalibrationProblem>(degenerate));
    EXPECT_EQ(std::get<CalibrationProblem>(degenerate).fault, CalibrationFault::Degenerate);
    std::vector<ReferencePatch> patches = simscan::It8Patches(false);
    patches.pop_back();
    const auto missing =
        Assess(p.scan, ChartKind::It8, ChartReference(patches), p.corners, p.delivery);
    ASSERT_TRUE(std::holds_alternative<CalibrationProblem>(missing));
    EXPECT_EQ(std::get<CalibrationProblem>(missing).patch, "GS23");
    Delivery broken = p.delivery;
    broken.profile.resize(broken.profile.size() / 2);
    const auto unusable = Assess(p.scan, ChartKind::It8, p.reference, p.corners, broken);
    ASSERT_TRUE(std::holds_alternative<CalibrationProblem>(unusable));
    EXPECT_EQ(std::get<CalibrationProblem>(unusable).fault, CalibrationFault::ProfileFailed);
}

} // namespace

} // namespace assessment_test
