// tamrel-cli calibrate, run as a program on chart scans of a simulated
// scanner and of SANE's test device: the chart found without --corners,
// the corners printed, the positions, profile (ICC 2.4, or 4.3 on request),
// report and picture it writes, reference files as ArgyllCMS ships them,
// and each problem it names, with nothing written.
#include "image/formats/ColourProfile.h"
#include "io/ParamFileReader.h"
#include "measure/ChartScan.h"
#include "measure/InputProfile.h"
#include "tests/cli/CliRun.h"
#include "tests/cli/PrintedCorners.h"
#include "tests/measure/SimulatedScanner.h"
#include "tests/support/OtherProgram.h"

#include <QByteArray>
#include <QColorSpace>

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

using clitest::PrintedCorners;

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

// The written profile as ArgyllCMS's iccdump, Qt and LittleCMS read it:
// ICC 2.4 by default, 4.3 on request, the same colours through both.
TEST_F(CliCalibrate, TheProfileIsIccVersionTwoAndFourOnRequest) {
    std::vector<std::string> args = It8Args();
    args.insert(args.end(), {"--profile", Out("v2.icc")});
    ASSERT_EQ(RunCli(scratch_, args).status, 0);
    args.back() = Out("v4.icc");
    args.insert(args.end(), {"--icc-version", "4"});
    const auto four = RunCli(scratch_, args);
    ASSERT_EQ(four.status, 0) << four.err;
    const std::string v2 = ReadBytes(Out("v2.icc"));
    const std::string v4 = ReadBytes(Out("v4.icc"));
    ASSERT_GT(v2.size(), 128U);
    ASSERT_GT(v4.size(), 128U);
    EXPECT_EQ(std::uint8_t(v2[8]), 0x02); // the header's version: 2.4.0
    EXPECT_EQ(std::uint8_t(v2[9]), 0x40);
    EXPECT_EQ(std::uint8_t(v4[8]), 0x04); // 4.3.0
    EXPECT_EQ(std::uint8_t(v4[9]), 0x30);
    // Qt 6.4 reads display profiles alone (its parser refuses the input
    // class of every scanner profile): every tag it reads, it reads.
    for (const std::string* bytes : {&v2, &v4}) {
        const std::span<const std::uint8_t> profile(
            reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size());
        EXPECT_FALSE(CheckProfile(profile));
        EXPECT_EQ(bytes->substr(12, 4), "scnr");
        QByteArray display = QByteArray::fromStdString(*bytes);
        display.replace(12, 4, "mntr");
        EXPECT_TRUE(QColorSpace::fromIccProfile(display).isValid());
    }
    const std::vector<Vector3> device = {{0.2, 0.4, 0.6}, {0.9, 0.1, 0.05}, {0.5, 0.5, 0.5}};
    const auto labs2 =
        LabsThroughProfile({reinterpret_cast<const std::uint8_t*>(v2.data()), v2.size()}, device);
    const auto labs4 =
        LabsThroughProfile({reinterpret_cast<const std::uint8_t*>(v4.data()), v4.size()}, device);
    ASSERT_TRUE(labs2 && labs4);
    for (std::size_t i = 0; i < device.size(); ++i) {
        EXPECT_LT(DeltaE2000((*labs2)[i], (*labs4)[i]), 1e-3);
    }
    if (othertest::HasProgram("iccdump")) {
        const othertest::ProgramRun dump = othertest::RunProgram("iccdump " + Out("v2.icc"));
        EXPECT_EQ(dump.status, 0) << dump.out;
        EXPECT_NE(dump.out.find("Version      = 2.4.0"), std::string::npos) << dump.out;
        EXPECT_NE(dump.out.find("Tamrel: it8.pnm"), std::string::npos) << dump.out;
    }
    args.back() = "3";
    const auto three = RunCli(scratch_, args);
    EXPECT_EQ(three.status, 2);
    EXPECT_NE(three.err.find("--icc-version takes 2 or 4, not 3"), std::string::npos) << three.err;
}

// A ColorChecker scan given reference files of each kind ArgyllCMS ships
// (read in place; measure's tests read every one): measured values
// calibrate; every other kind is refused, named with the file and what it
// is, and nothing is written.
TEST_F(CliCalibrate, ArgyllsReferenceFilesCalibrateOrAreNamedForWhatTheyAre) {
    const std::filesystem::path folder = "/usr/share/color/argyll/ref";
    if (!std::filesystem::exists(folder)) {
        GTEST_SKIP() << folder << " is absent";
    }
    simscan::Scanner scanner;
    const ChartLayout& layout = LayoutOf(ChartKind::ColorChecker24);
    const ChartCorners corners = simscan::Placed(layout, 30, 10, 24, 2.0);
    ASSERT_FALSE(
        simscan::WriteScan(simscan::Scan(scanner, layout, BuiltInColorChecker(), corners, 200, 130),
                           Out("cc.tif"), ImageFormat::Tiff));
    const auto calibrate = [&](const std::filesystem::path& reference) {
        return RunCli(scratch_,
                      {"calibrate", Out("cc.tif"), Out("cc.tvp"), "--chart", "colorchecker",
                       "--reference", reference.string(), "--corners", Corners(corners)});
    };
    struct Case {
        const char* file;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {"ColorChecker.cie", 0, ""},
        {"ColorCheckerPassport.cie", 0, ""},
        {"ColorChecker.cht", 1,
         "a chart layout, not measured values: give the chart maker's file of measured values"},
        {"ColorChecker.ti2", 1, "a chart layout, not measured values"},
        {"FograStrip2.ti1", 1, "a chart's target device values, not measured values"},
        {"CIE_C.sp", 1, "CGATS of kind SPECT, not a chart's measured values"},
        {"sRGB.icm", 1, "an ICC profile, not a chart's measured values"},
    };
    for (const Case& c : cases) {
        const auto result = calibrate(folder / c.file);
        EXPECT_EQ(result.status, c.status) << c.file << ": " << result.err;
        EXPECT_EQ(result.err.find("tamrel-cli: " + (folder / c.file).string() + ": " + c.says),
                  c.status == 0 ? std::string::npos : 0)
            << result.err;
        EXPECT_EQ(std::filesystem::exists(Out("cc.tvp")), c.status == 0) << c.file;
        std::filesystem::remove(Out("cc.tvp"));
    }
}

// Files that killed calibrate with SIGBUS inside LittleCMS 2.14's parser.
TEST_F(CliCalibrate, TheFuzzFindingsAreRefusedWithTheirLine) {
    for (int n = 1; n <= 5; ++n) {
        const std::filesystem::path finding = std::filesystem::path(TAMREL_SOURCE_DIR) /
                                              "fuzz/corpus/cgats" /
                                              ("cgats-lcms-bus-" + std::to_string(n) + ".txt");
        std::vector<std::string> args = It8Args();
        args[6] = finding.string();
        const auto result = RunCli(scratch_, args);
        EXPECT_EQ(result.status, 1) << finding;
        EXPECT_EQ(result.err.find("tamrel-cli: " + finding.string() + ": line "), 0U) << result.err;
        EXPECT_EQ(scratch_.Entries(), std::set<std::string>{});
    }
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
