// tamrel-cli calibrate, run as a program on chart scans of a simulated
// scanner and of SANE's test device: the chart found without --corners,
// the corners printed, the positions, profile, report and picture it
// writes, and each problem it names, with nothing written.
#include "image/formats/ColourProfile.h"
#include "io/ParamFileReader.h"
#include "measure/ChartScan.h"
#include "tests/cli/CliRun.h"
#include "tests/measure/SimulatedScanner.h"

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>

namespace calibrate_end_to_end_test {

namespace {

using clitest::RunCli;

const ParamPositionSet kTruth = {ParamPositions{23, 241, 85, 220}, ParamPositions{5, 250, 120, 180},
                                 ParamPositions{70, 230, 94, 205}};

std::string Corners(const ChartCorners& corners) {
    std::string text;
    for (const ImagePoint& p : corners) {
        text += (text.empty() ? "" : ",") + std::to_string(p.x) + "," + std::to_string(p.y);
    }
    return text;
}

// An IT8 half turned, a little off, on a light bed of 300 x 240.
const ChartCorners kTurned = simscan::Centred(LayoutOf(ChartKind::It8), 160, 115, 9, 183);

// Writes a scan of the IT8 chart whose patches are `scanned`, by the known scanner.
void WriteIt8(const std::filesystem::path& path, std::vector<ReferencePatch> scanned,
              int greenWhite = 250, bool turned = false) {
    simscan::Scanner scanner;
    for (std::size_t ch = 0; ch < 3; ++ch) {
        scanner.channels[ch].positions = kTruth[ch];
    }
    scanner.channels[1].positions.white = greenWhite;
    const ChartLayout& layout = LayoutOf(ChartKind::It8);
    if (turned) {
        scanner.bed = {93, 0, 1};
        scanner.card = {70, 0, 3};
    }
    const ChartScan scan = simscan::Scan(scanner, layout, ChartReference(std::move(scanned)),
                                         turned ? kTurned : simscan::Placed(layout, 20, 12, 8, 0),
                                         turned ? 300 : 220, turned ? 240 : 170);
    EXPECT_FALSE(simscan::WriteScan(scan, path, ImageFormat::Pnm));
}

const ChartCorners kChecker = simscan::Placed(LayoutOf(ChartKind::ColorChecker24), 30, 10, 24, 2.0);

// A ColorChecker by the known scanner, with a little noise.
void WriteChecker(const std::filesystem::path& path, ImageFormat format, int depth) {
    simscan::Scanner scanner;
    scanner.noise = 0.3;
    scanner.depth = depth;
    EXPECT_FALSE(simscan::WriteScan(simscan::Scan(scanner, LayoutOf(ChartKind::ColorChecker24),
                                                  BuiltInColorChecker(), kChecker, 200, 130),
                                    path, format, depth));
}

// The eight numbers of the "corners:" line on standard output.
std::vector<double> PrintedCorners(const std::string& out) {
    const std::string head = "corners: ";
    std::vector<double> numbers;
    if (out.rfind(head, 0) != 0) {
        return numbers;
    }
    std::istringstream line(out.substr(head.size(), out.find('\n') - head.size()));
    for (std::string field; std::getline(line, field, ',');) {
        numbers.push_back(std::stod(field));
    }
    return numbers;
}

class CliCalibrate : public testing::Test {
protected:
    // The scans and references, made once for each test process.
    static void SetUpTestSuite() {
        inputs_ = new ScratchDir;
        std::vector<ReferencePatch> patches = simscan::It8Patches(false);
        WriteIt8(Dir() / "it8.pnm", patches);
        WriteBytes(Dir() / "it8.txt", simscan::Cgats(patches, false));
        std::vector<ReferencePatch> shorter = patches;
        shorter.erase(shorter.end() - 12); // GS12
        WriteBytes(Dir() / "short.txt", simscan::Cgats(shorter, false));
        std::swap(patches[patches.size() - 20].lab, patches[patches.size() - 18].lab); // GS04, GS06
        WriteIt8(Dir() / "swapped.pnm", patches);
        WriteIt8(Dir() / "clipped.pnm", simscan::It8Patches(false), 330);
        WriteIt8(Dir() / "turned.pnm", simscan::It8Patches(false), 250, true);
        std::vector<ReferencePatch> flat = simscan::It8Patches(false);
        for (ReferencePatch& p : flat) {
            p.lab = {55, 0, 0};
        }
        WriteIt8(Dir() / "blank.pnm", flat);
        // SANE's test device scans black unless told otherwise.
        const auto black = RunCli(*inputs_, {"scan", "--linear", In("black.pnm"), "--device",
                                             "test:0", "--resolution", "75", "--mode", "Color"});
        ASSERT_EQ(black.status, 0) << black.err;
    }
    static void TearDownTestSuite() {
        delete inputs_;
        inputs_ = nullptr;
    }
    static const std::filesystem::path& Dir() { return inputs_->Path(); }
    static std::string In(const char* name) { return (Dir() / name).string(); }
    std::string Out(const char* name) const { return (scratch_ / name).string(); }

    std::vector<std::string> It8Args() const {
        return {"calibrate",
                In("it8.pnm"),
                Out("out.tvp"),
                "--chart",
                "it8",
                "--reference",
                In("it8.txt"),
                "--corners",
                Corners(simscan::Placed(LayoutOf(ChartKind::It8), 20, 12, 8, 0))};
    }

    static ScratchDir* inputs_;
    ScratchDir scratch_;
};

ScratchDir* CliCalibrate::inputs_ = nullptr;

TEST_F(CliCalibrate, WritesThePositionsTheProfileTheReportAndThePicture) {
    std::vector<std::string> args = It8Args();
    for (const char* option : {"--profile", "--report", "--diagnostic"}) {
        args.push_back(option);
    }
    args.insert(args.end() - 2, Out("scanner.icc"));
    args.insert(args.end() - 1, Out("report.txt"));
    args.push_back(Out("chart.png"));
    const auto result = RunCli(scratch_, args);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("Black    White    Alpha    Gamma"), std::string::npos);
    EXPECT_NE(result.out.find("CIEDE2000 over 288 patches"), std::string::npos) << result.out;
    EXPECT_EQ(LoadParamFile(Out("out.tvp")).positions, kTruth);
    const std::string profile = ReadBytes(Out("scanner.icc"));
    EXPECT_FALSE(
        CheckProfile({reinterpret_cast<const std::uint8_t*>(profile.data()), profile.size()}));
    const std::string report = ReadBytes(Out("report.txt"));
    EXPECT_NE(report.find("\nA01 "), std::string::npos);
    EXPECT_NE(report.find("\nGS23 "), std::string::npos);
    const Outcome<ChartScan> picture = ReadChartScan(Out("chart.png"));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 220);
    EXPECT_EQ(scratch_.Entries(),
              (std::set<std::string>{"chart.png", "out.tvp", "report.txt", "scanner.icc"}));
}

TEST_F(CliCalibrate, FindsATurnedChartAndPrintsItsCornersFirst) {
    std::vector<std::string> args = It8Args();
    args[1] = In("turned.pnm");
    args.resize(args.size() - 2); // no --corners
    const auto result = RunCli(scratch_, args);
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<double> corners = PrintedCorners(result.out);
    ASSERT_EQ(corners.size(), 8u) << result.out;
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(corners[2 * i], kTurned[i].x, 9 / 4.0) << "corner " << i + 1;
        EXPECT_NEAR(corners[2 * i + 1], kTurned[i].y, 9 / 4.0) << "corner " << i + 1;
    }
    EXPECT_EQ(LoadParamFile(Out("out.tvp")).positions, kTruth);
}

TEST_F(CliCalibrate, PrintsTheCornersGivenInTheSameForm) {
    const auto result = RunCli(scratch_, It8Args());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, result.out.find('\n')),
              "corners: 20.0,12.0,196.0,12.0,196.0,108.0,20.0,108.0");
}

// The reference of a chart of another maker, as ArgyllCMS ships it, given
// for a ColorChecker: refused, naming the likely cause.
TEST_F(CliCalibrate, AnotherChartsReferenceIsRefused) {
    const std::filesystem::path spyder = "/usr/share/color/argyll/ref/SpyderChecker24.cie";
    if (!std::filesystem::exists(spyder)) {
        GTEST_SKIP() << spyder << " is not installed";
    }
    WriteChecker(Out("cc.pnm"), ImageFormat::Pnm, 16);
    const auto result =
        RunCli(scratch_, {"calibrate", Out("cc.pnm"), Out("cc.tvp"), "--chart", "colorchecker",
                          "--reference", spyder.string(), "--profile", Out("cc.icc")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("SpyderChecker24.cie: does not fit the chart scanned (mean "
                              "CIEDE2000 "),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("is it the reference of this ColorChecker 24?"), std::string::npos);
    EXPECT_EQ(scratch_.Entries(), std::set<std::string>{"cc.pnm"});
}

TEST_F(CliCalibrate, TheColorCheckerNeedsNoReference) {
    WriteChecker(Out("cc.tif"), ImageFormat::Tiff, 8);
    const auto result = RunCli(scratch_, {"calibrate", Out("cc.tif"), Out("cc.tvp"), "--chart",
                                          "ColorChecker", "--corners", Corners(kChecker)});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(LoadParamFile(Out("cc.tvp")).result, LoadResult::Ok);
}

struct FailureCase {
    const char* name;
    std::size_t at; // which argument to replace (0: none)
    const char* value;
    int status;
    const char* message;
    bool find = false; // without --corners
};

// Cases print as their names.
void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

const FailureCase kFailures[] = {
    {"UnknownChart", 4, "it9", 2, "unknown chart it9 (colorchecker or it8)"},
    {"CornersNotEightNumbers", 8, "1,2,3,4,5,6,7", 2, "--corners takes eight numbers"},
    {"CornerOutsideTheScan", 8, "20,12,500,12,196,108,20,108", 2,
     "corner 2 (500,12) lies outside the 220 x 170 scan"},
    {"CornersInALine", 8, "20,12,100,12,196,12,20,108", 2,
     "the corners do not bound a convex quadrilateral"},
    {"ReferenceLacksAPatch", 6, "short.txt", 1, "the reference lacks patch GS12"},
    {"GreysOutOfOrder", 1, "swapped.pnm", 1,
     "is this a linear scan of the chart? GS05 is lighter than GS04"},
    {"GreyClipped", 1, "clipped.pnm", 1,
     "GS00 is clipped at the top level: scan with a lower exposure or White"},
    {"OutputOverItsScan", 2, "it8.pnm", 1, "would replace its own input"},
    {"CornersHalfAPatchOff", 8, "24,16,200,16,200,112,24,112", 1,
     "sampled boxes are not uniform inside (A01 first): the corners are not on the chart's "
     "patch grid"},
    {"FlatGreyScale", 1, "blank.pnm", 1,
     "the grey patches GS00 to GS23 do not differ (they span 0.0 of 100 in lightness)"},
    {"NoChartInABlankScan", 1, "blank.pnm", 1,
     "blank.pnm: no IT8.7/2 found: looked for a grid of 22 x 12 patches", true},
    {"BlackScanFromTheTestDevice", 1, "black.pnm", 1,
     "black.pnm: the grey patches GS00 to GS23 do not differ"},
    {"NoChartInTheTestDevicesBlackScan", 1, "black.pnm", 1, "black.pnm: no IT8.7/2 found", true},
};

class CliCalibrateFailure : public CliCalibrate, public testing::WithParamInterface<FailureCase> {};

TEST_P(CliCalibrateFailure, NamesTheProblemAndWritesNothing) {
    const FailureCase& c = GetParam();
    std::vector<std::string> args = It8Args();
    const bool file = c.at == 1 || c.at == 2 || c.at == 6;
    args[c.at] = file ? In(c.value) : c.value;
    if (c.find) {
        args.resize(args.size() - 2);
    }
    const std::string before = ReadBytes(In("it8.pnm"));
    const auto result = RunCli(scratch_, args);
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_EQ(scratch_.Entries(), std::set<std::string>{});
    EXPECT_EQ(ReadBytes(In("it8.pnm")), before);
}

INSTANTIATE_TEST_SUITE_P(Problems, CliCalibrateFailure, testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

} // namespace calibrate_end_to_end_test
