// Each way a chart scan cannot be calibrated, named as the user will read
// it: corners that bound nothing or lie off the grid, a chart off the scan
// or too small in it, a reference without a patch or of another chart,
// grey patches that do not differ, read alike, are out of order or
// clipped.
#include "measure/Calibration.h"
#include "tests/measure/SimulatedScanner.h"

#include <gtest/gtest.h>

#include <ostream>

namespace calibration_failure_test {

namespace {

constexpr double kPitch = 8.0;

struct FailureCase {
    const char* name;
    CalibrationFault fault;
    const char* patch;
    const char* other;
    // Changes what is scanned, the corners given, or the reference used.
    void (*change)(simscan::Scanner&, std::vector<ReferencePatch>& scanned, ChartCorners& given,
                   std::vector<ReferencePatch>& reference);
};

// Cases print as their names.
void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

std::size_t IndexOf(const std::vector<ReferencePatch>& patches, const char* id) {
    for (std::size_t i = 0; i < patches.size(); ++i) {
        if (patches[i].id == id) {
            return i;
        }
    }
    return patches.size();
}

const FailureCase kFailures[] = {
    {"CornersInALine", CalibrationFault::Degenerate, "", "",
     [](auto&, auto&, ChartCorners& given, auto&) {
         given[2] = {given[1].x, given[0].y};
     }},
    {"CornersCrossed", CalibrationFault::Degenerate, "", "",
     [](auto&, auto&, ChartCorners& given, auto&) { std::swap(given[2], given[3]); }},
    {"GreyStripOffTheScan", CalibrationFault::OutsideScan, "GS00", "",
     [](auto&, auto&, ChartCorners& given, auto&) {
         for (ImagePoint& p : given) {
             p.x -= 19;
         }
     }},
    {"ChartTooSmall", CalibrationFault::NoPixels, "A01", "",
     [](auto&, auto&, ChartCorners& given, auto&) {
         given = simscan::Placed(LayoutOf(ChartKind::It8), 20, 12, 0.5, 0);
     }},
    {"ReferenceLacksAPatch", CalibrationFault::MissingPatch, "GS12", "",
     [](auto&, auto&, auto&, std::vector<ReferencePatch>& reference) {
         reference.erase(reference.begin() + std::ptrdiff_t(IndexOf(reference, "GS12")));
     }},
    {"GreysOutOfOrder", CalibrationFault::GreysOutOfOrder, "GS05", "GS04",
     [](auto&, std::vector<ReferencePatch>& scanned, auto&, auto&) {
         std::swap(scanned[IndexOf(scanned, "GS04")].lab, scanned[IndexOf(scanned, "GS06")].lab);
     }},
    {"WhiteClipped", CalibrationFault::GreyClipped, "GS00", "",
     [](simscan::Scanner& s, auto&, auto&, auto&) { s.channels[1].positions.white = 330; }},
    {"CornersHalfAPatchOff", CalibrationFault::PatchesMixed, "A01", "",
     [](auto&, auto&, ChartCorners& given, auto&) {
         for (ImagePoint& p : given) {
             p = {p.x + kPitch / 2, p.y + kPitch / 2};
         }
     }},
    // A scan with no light: every patch, grey or not, reads as black.
    {"BlackScan", CalibrationFault::GreysFlat, "", "",
     [](auto&, std::vector<ReferencePatch>& scanned, auto&, auto&) {
         for (ReferencePatch& p : scanned) {
             p.lab = {0, 0, 0};
         }
     }},
    // "Each grey darker than the last" holds for a flat grey scale too.
    {"FlatGreyScale", CalibrationFault::GreysFlat, "", "",
     [](auto&, std::vector<ReferencePatch>& scanned, auto&, auto&) {
         for (std::size_t g = IndexOf(scanned, "GS00"); g < scanned.size(); ++g) {
             scanned[g].lab = {50, 0, 0};
         }
     }},
    {"ShadowsClipped", CalibrationFault::GreysAlike, "GS22", "GS21",
     [](auto&, std::vector<ReferencePatch>& scanned, auto&, auto&) {
         scanned[IndexOf(scanned, "GS22")].lab = scanned[IndexOf(scanned, "GS21")].lab;
         scanned[IndexOf(scanned, "GS23")].lab = scanned[IndexOf(scanned, "GS21")].lab;
     }},
    // Its grey scale is right, its colours another chart's.
    {"AnotherChartsReference", CalibrationFault::FitImplausible, "", "",
     [](auto&, auto&, auto&, std::vector<ReferencePatch>& reference) {
         const std::size_t greys = IndexOf(reference, "GS00");
         for (std::size_t i = 0; i < greys / 2; ++i) {
             std::swap(reference[i].lab, reference[greys - 1 - i].lab);
         }
     }},
};

class FailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(FailureTest, NamesTheProblem) {
    const FailureCase& c = GetParam();
    const ChartLayout& layout = LayoutOf(ChartKind::It8);
    std::vector<ReferencePatch> scanned = simscan::It8Patches(false);
    std::vector<ReferencePatch> reference = scanned;
    simscan::Scanner scanner;
    ChartCorners given = simscan::Placed(layout, 20, 12, kPitch, 0);
    c.change(scanner, scanned, given, reference);
    const ChartScan scan = simscan::Scan(scanner, layout, ChartReference(scanned),
                                         simscan::Placed(layout, 20, 12, kPitch, 0), 220, 170);
    const CalibrationOutcome outcome =
        Calibrate(scan, ChartKind::It8, ChartReference(reference), given, "test");
    ASSERT_TRUE(std::holds_alternative<CalibrationProblem>(outcome));
    const CalibrationProblem& problem = std::get<CalibrationProblem>(outcome);
    EXPECT_EQ(problem.fault, c.fault);
    EXPECT_EQ(problem.patch, c.patch);
    EXPECT_EQ(problem.other, c.other);
    if (c.fault == CalibrationFault::PatchesMixed) {
        EXPECT_GT(problem.count, LayoutOf(ChartKind::It8).patches.size() / 4);
    }
    if (c.fault == CalibrationFault::FitImplausible) {
        EXPECT_GT(problem.figure, 10.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Charts, FailureTest, testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

} // namespace calibration_failure_test
