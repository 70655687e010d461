// tamrel-cli assess, run as a program: painted charts whose figures are
// known by hand get each criterion's line with its figure, limit and verdict
// (one passes every guideline's top level, one has its greys too light and
// fails tone); the profile comes from --profile, the scan's own, or sRGB;
// calibrate's report ends with the verdict assess gives on the scan through
// what calibrate wrote; a chart turned on a bed is found without --corners
// and judged as at the corners it prints first; and what stops it is named,
// with nothing written.
#include "measure/ChartLayout.h"
#include "tests/cli/CliRun.h"
#include "tests/cli/PrintedCorners.h"
#include "tests/measure/SimulatedScanner.h"

#include <gtest/gtest.h>

#include <ostream>
#include <regex>
#include <sstream>

namespace assess_end_to_end_test {

namespace {

using clitest::RunCli;

constexpr double kGreyLift = 2.5;

std::string Corners(const ChartCorners& corners) {
    std::string text;
    for (const ImagePoint& p : corners) {
        text += (text.empty() ? "" : ",") + std::to_string(p.x) + "," + std::to_string(p.y);
    }
    return text;
}

// An IT8 half turned and a little more on a light bed of 300 x 240, its
// patches 9 pixels apart.
constexpr double kTurnedPitch = 9;
const ChartCorners kTurned =
    simscan::Centred(LayoutOf(ChartKind::It8), 160, 115, kTurnedPitch, 183);

const ChartCorners& It8Corners() {
    static const ChartCorners corners = simscan::Placed(LayoutOf(ChartKind::It8), 20, 12, 8, 0);
    return corners;
}

// The scans, references and profile, made once for the test process.
struct Inputs {
    ScratchDir dir;

    Inputs() {
        const std::vector<ReferencePatch> patches = simscan::It8Patches(false);
        const ChartReference reference(patches);
        WriteBytes(dir / "it8.txt", simscan::Cgats(patches, false));
        const std::vector<std::uint8_t>& romm = simscan::RommProfile();
        WriteBytes(dir / "romm.icc", std::string(romm.begin(), romm.end()));
        const ChartScan exact = simscan::EncodedIt8(reference, It8Corners(), 220, 170, 0, 0);
        EXPECT_FALSE(simscan::WriteScan(exact, dir / "exact.tif", ImageFormat::Tiff));
        EXPECT_FALSE(simscan::WriteScan(exact, dir / "tagged.tif", ImageFormat::Tiff, 16, romm));
        const ChartScan light =
            simscan::EncodedIt8(reference, It8Corners(), 220, 170, kGreyLift, 0);
        EXPECT_FALSE(simscan::WriteScan(light, dir / "light.tif", ImageFormat::Tiff));
        simscan::Scanner scanner;
        scanner.channels = {{{{23, 241, 85, 220}}, {{5, 250, 120, 180}}, {{70, 230, 94, 205}}}};
        scanner.noise = 0.3;
        const ChartScan linear =
            simscan::Scan(scanner, LayoutOf(ChartKind::It8), reference, It8Corners(), 220, 170);
        EXPECT_FALSE(simscan::WriteScan(linear, dir / "linear.pnm", ImageFormat::Pnm));
        const simscan::Scanner typical = simscan::TypicalScanner(ChartKind::It8, 0.3);
        EXPECT_FALSE(simscan::WriteScan(
            simscan::Scan(typical, LayoutOf(ChartKind::It8), reference, kTurned, 300, 240),
            dir / "turned.pnm", ImageFormat::Pnm));
        std::vector<ReferencePatch> flat = patches;
        for (ReferencePatch& p : flat) {
            p.lab = {55, 0, 0};
        }
        EXPECT_FALSE(simscan::WriteScan(simscan::Scan(typical, LayoutOf(ChartKind::It8),
                                                      ChartReference(flat), kTurned, 300, 240),
                                        dir / "blank.pnm", ImageFormat::Pnm));
    }
};

const std::filesystem::path& Dir() {
    static const Inputs inputs;
    return inputs.dir.Path();
}

std::string In(const char* name) {
    return (Dir() / name).string();
}

class CliAssess : public testing::Test {
protected:
    std::string Out(const char* name) const { return (scratch_ / name).string(); }

    static std::vector<std::string> Args(const char* scan) {
        return {"assess",      In(scan),      "--chart",   "it8",
                "--reference", In("it8.txt"), "--corners", Corners(It8Corners())};
    }

    ScratchDir scratch_;
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(CliAssess, AChartAsMeasuredPassesEveryTopLevel) {
    std::vector<std::string> args = Args("exact.tif");
    args.insert(args.end(), {"--profile", In("romm.icc")});
    const auto result = RunCli(scratch_, args);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(Has(result.out, "exact.tif (IT8.7/2), as scanned, read with")) << result.out;
    EXPECT_TRUE(Has(result.out, "FADGI 2023: highest level passed: 4 stars")) << result.out;
    EXPECT_TRUE(Has(result.out, "ISO 19264-1: highest level passed: A"));
    EXPECT_TRUE(Has(result.out, "Metamorfoze: highest level passed: Full"));
    // Within the 16-bit steps of the painting.
    EXPECT_TRUE(std::regex_search(
        result.out,
        std::regex(R"(\n    tone, greys' largest \|delta L\*\| +0\.0[01]  < 1\.5   pass\n)")))
        << result.out;
    EXPECT_TRUE(Has(result.out, "not measured (a reflective colour chart cannot show them)"));
    EXPECT_EQ(scratch_.Entries(), std::set<std::string>{});
}

TEST_F(CliAssess, GreysTooLightFailToneWhereItsLimitIsUnderTheirLift) {
    std::vector<std::string> args = Args("light.tif");
    args.insert(args.end(), {"--profile", In("romm.icc")});
    const auto result = RunCli(scratch_, args);
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string& out = result.out;
    EXPECT_TRUE(Has(out, "FADGI 2023: highest level passed: 3 stars")) << out;
    EXPECT_TRUE(Has(out, "ISO 19264-1: highest level passed: B"));
    EXPECT_TRUE(Has(out, "Metamorfoze: highest level passed: Extra Light"));
    EXPECT_TRUE(Has(out, "  4 stars: fail"));
    EXPECT_TRUE(
        Has(out, "    tone, greys' largest |delta L*|                   2.50  < 1.5   fail\n"));
    EXPECT_TRUE(
        Has(out, "    tone, greys' largest |delta L*|                   2.50  < 3     pass\n"));
    EXPECT_TRUE(
        Has(out, "    tone, greys' largest |delta L*|                   2.50  <= 2    fail\n"));
    EXPECT_TRUE(
        Has(out, "    white balance, greys' largest delta E(a*b*)       0.00  <= 3    pass\n"));
    // With S_L = 1 a grey's difference is the lift itself.
    EXPECT_TRUE(
        Has(out, "    colour, largest CIEDE2000 (S_L = 1)               2.50  <= 7    pass\n"));
}

TEST_F(CliAssess, TheScansOwnProfileServesWithoutOneGivenAndSrgbWithoutEither) {
    const auto tagged = RunCli(scratch_, Args("tagged.tif"));
    ASSERT_EQ(tagged.status, 0) << tagged.err;
    EXPECT_TRUE(Has(tagged.out, "as scanned, read with its own profile"));
    EXPECT_TRUE(Has(tagged.out, "FADGI 2023: highest level passed: 4 stars")) << tagged.out;
    const auto untagged = RunCli(scratch_, Args("exact.tif"));
    ASSERT_EQ(untagged.status, 0) << untagged.err;
    EXPECT_TRUE(Has(untagged.out, "as scanned, read as sRGB"));
    EXPECT_TRUE(Has(untagged.out, "FADGI 2023: highest level passed: none")) << untagged.out;
}

TEST_F(CliAssess, CalibratesReportEndsWithTheVerdictOfWhatItWrote) {
    const auto calibrated =
        RunCli(scratch_, {"calibrate", In("linear.pnm"), Out("scanner.tvp"), "--chart", "it8",
                          "--reference", In("it8.txt"), "--corners", Corners(It8Corners()),
                          "--profile", Out("scanner.icc"), "--report", Out("report.txt")});
    ASSERT_EQ(calibrated.status, 0) << calibrated.err;
    EXPECT_TRUE(Has(calibrated.out, "held out (5-fold cross-validation): mean"));
    std::vector<std::string> args = Args("linear.pnm");
    args.insert(args.end(), {"--params", Out("scanner.tvp"), "--profile", Out("scanner.icc")});
    const auto assessed = RunCli(scratch_, args);
    ASSERT_EQ(assessed.status, 0) << assessed.err;
    const std::string report = ReadBytes(Out("report.txt"));
    const std::string heading = "Verdict of the scan through the fitted tables and profile:\n";
    ASSERT_TRUE(Has(report, heading)) << report;
    const std::string verdict = report.substr(report.find(heading) + heading.size());
    EXPECT_TRUE(Has(assessed.out, "through " + Out("scanner.tvp")));
    EXPECT_EQ(assessed.out.substr(assessed.out.find("FADGI 2023:")), verdict);
}

using clitest::PrintedCorners;

TEST_F(CliAssess, FindsATurnedChartAndJudgesItAsAtTheCornersItPrints) {
    std::vector<std::string> args = Args("turned.pnm");
    args.resize(args.size() - 2); // no --corners
    const auto found = RunCli(scratch_, args);
    ASSERT_EQ(found.status, 0) << found.err;
    const std::vector<double> corners = PrintedCorners(found.out);
    ASSERT_EQ(corners.size(), 8u) << found.out;
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(corners[2 * i], kTurned[i].x, kTurnedPitch / 4) << "corner " << i + 1;
        EXPECT_NEAR(corners[2 * i + 1], kTurned[i].y, kTurnedPitch / 4) << "corner " << i + 1;
    }
    const std::string cornersLine = found.out.substr(0, found.out.find('\n') + 1);
    args.insert(args.end(), {"--corners", cornersLine.substr(9, cornersLine.size() - 10)});
    const auto given = RunCli(scratch_, args);
    ASSERT_EQ(given.status, 0) << given.err;
    EXPECT_EQ(given.out, found.out);
    EXPECT_TRUE(Has(found.out, "\nTamrel chart assessment: turned.pnm (IT8.7/2), as scanned"));
}

TEST_F(CliAssess, NoChartFoundIsAFailureThatSaysWhatWasLookedFor) {
    std::vector<std::string> args = Args("blank.pnm");
    args.resize(args.size() - 2); // no --corners
    const auto result = RunCli(scratch_, args);
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(Has(result.err, "blank.pnm: no IT8.7/2 found: looked for a grid of 22 x 12"))
        << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(scratch_.Entries(), std::set<std::string>{});
}

struct FailureCase {
    const char* name;
    std::vector<std::string> extra;
    int status;
    const char* message;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

const FailureCase kFailures[] = {
    {"NoCorners", {"--corners"}, 2, "--corners needs"},
    {"ProfileNotAProfile", {"--profile", "it8.txt"}, 1, "it8.txt"},
    {"ParamsMissing", {"--params", "none.tvp"}, 1, "none.tvp"},
    {"ReportIsCalibratesOnly", {"--report", "r.txt"}, 2, "--report is for calibrate only"},
};

class CliAssessFailure : public CliAssess, public testing::WithParamInterface<FailureCase> {};

TEST_P(CliAssessFailure, NamesTheProblemAndWritesNothing) {
    const FailureCase& c = GetParam();
    std::vector<std::string> args = Args("exact.tif");
    if (c.extra.front() == "--corners") {
        args.pop_back();
        args.pop_back();
    }
    for (const std::string& word : c.extra) {
        args.push_back(word.find('.') != std::string::npos && word != "r.txt"
                           ? (Dir() / word).string()
                           : word);
    }
    const auto result = RunCli(scratch_, args);
    EXPECT_EQ(result.status, c.status);
    EXPECT_TRUE(Has(result.err, c.message)) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(scratch_.Entries(), std::set<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Problems, CliAssessFailure, testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

} // namespace assess_end_to_end_test
