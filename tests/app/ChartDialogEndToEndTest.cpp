// The real program calibrating from a chart scan through 「チャートで校正...」:
// an IT8 scan opened, the chart kind and its reference chosen (and both
// remembered), the handles found on the chart, one dragged off and 自動検出
// putting it back, a reference that cannot be read leaving the working
// one, the summary with the held-out figures and the guidelines' highest
// levels passed, 適用 putting the twelve positions on the sliders as one
// undo step; and the profile saved, taken for the scanner, and embedded in
// the scan then taken in from SANE's test device.
#include "curve/ChannelParams.h"
#include "image/formats/FormatTable.h"
#include "image/rows/ByteSource.h"
#include "measure/PatchSampling.h"
#include "tests/app/RunTamrel.h"
#include "tests/app/ScanSteps.h"
#include "tests/app/TestDevice.h"
#include "tests/measure/SimulatedScanner.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace chart_dialog_end_to_end_test {

namespace {

using apptest::Printed;
using apptest::RunSetup;
using apptest::RunTamrel;

constexpr int kWidth = 300;
constexpr int kHeight = 220;
constexpr ParamPositions kRedTruth{23, 241, 85, 220};
const QRgb kHandleColour = qRgb(0xFF, 0xA0, 0x00); // the selection tool's frame

// The menu's last entry, then the dialog once it is up and has measured.
const std::string kOpenDialog =
    "; key Shift+F10; wait 100; key Up; key Return; await chartDialog 5000; wait 1500";

// An IT8 scan by the known scanner, the chart turned half round and a
// little more on a light bed, and its reference.
struct Chart {
    std::filesystem::path scan;
    std::filesystem::path reference;
};

constexpr double kPitch = 10;
const ChartCorners kTruth = simscan::Centred(LayoutOf(ChartKind::It8), 150, 110, kPitch, 182);

Chart WriteChart(const ScratchDir& scratch) {
    const ChartLayout& layout = LayoutOf(ChartKind::It8);
    const std::vector<ReferencePatch> patches = simscan::It8Patches(false);
    simscan::Scanner scanner;
    scanner.channels = {{{kRedTruth}, {{5, 250, 120, 180}}, {{70, 230, 94, 205}}}};
    scanner.bed = {92, 0, 1};
    scanner.card = {70, 0, 3};
    const Chart chart{scratch / "it8.tif", scratch / "it8.txt"};
    EXPECT_FALSE(simscan::WriteScan(
        simscan::Scan(scanner, layout, ChartReference(patches), kTruth, kWidth, kHeight),
        chart.scan, ImageFormat::Tiff));
    std::ofstream(chart.reference) << simscan::Cgats(patches, false);
    return chart;
}

// The eight numbers of the dialog's "四隅: X1,Y1,..." as printed.
std::vector<double> CornerNumbers(const std::string& text) {
    std::vector<double> numbers;
    std::istringstream fields(text.substr(text.find(' ') + 1));
    for (std::string field; std::getline(fields, field, ',');) {
        numbers.push_back(std::stod(field));
    }
    return numbers;
}

// The wait lets the calibration with its five held-out fits come back
// under the sanitizers on a busy machine too.
std::string ChooseIt8(const Chart& chart) {
    return "; key Alt+C; key Down; wait 300; click chartBrowse; wait 300; type " +
           chart.reference.string() + "; key Return; wait 5000";
}

// The top-left handle in a picture of the dialog: the upper-left one of the
// four squares in the frame's colour.
QPoint TopLeftHandle(const std::filesystem::path& grab) {
    const QImage image(QString::fromStdString(grab.string()));
    QPoint best(-1, -1);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == kHandleColour &&
                (best.x() < 0 || x + y < best.x() + best.y())) {
                best = {x, y};
            }
        }
    }
    return best + QPoint(3, 3); // the square's centre
}

std::vector<std::string> Values(const std::string& out) {
    std::vector<std::string> values;
    for (const char* name :
         {"IDC_VALUE_BLACK", "IDC_VALUE_WHITE", "IDC_VALUE_ALPHA", "IDC_VALUE_GAMMA"}) {
        for (const std::string& v : Printed(out, name)) {
            values.push_back(v);
        }
    }
    return values;
}

std::string Labels(const ParamPositions& p) {
    std::string text;
    for (const Param param : kAllParams) {
        text += FormatValue(param, PositionToValue(param, p[param])) + "|";
    }
    return text;
}

// The corners printed on opening, after a drag and after 自動検出: found
// within a quarter of a patch, moved, and found again where they were.
void ExpectFoundMovedAndFoundAgain(const std::vector<std::string>& corners) {
    ASSERT_EQ(corners.size(), 3u);
    const std::vector<double> found = CornerNumbers(corners[0]);
    ASSERT_EQ(found.size(), 8u) << corners[0];
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(found[2 * i], kTruth[i].x, kPitch / 4) << "corner " << i + 1;
        EXPECT_NEAR(found[2 * i + 1], kTruth[i].y, kPitch / 4) << "corner " << i + 1;
    }
    EXPECT_NE(corners[1], corners[0]) << "the drag moved no handle";
    EXPECT_EQ(corners[2], corners[0]) << "自動検出 did not find the chart again";
}

// The red channel's four labels printed after 適用 and after 元に戻す, each
// value after its own: the scanner's positions, then the start-up ones.
void ExpectAppliedAndUndone(const std::vector<std::string>& values) {
    ASSERT_EQ(values.size(), 8u);
    EXPECT_EQ(values[0] + "|" + values[2] + "|" + values[4] + "|" + values[6] + "|",
              Labels(kRedTruth));
    EXPECT_EQ(values[1] + "|" + values[3] + "|" + values[5] + "|" + values[7] + "|",
              Labels(ParamPositions{}));
}

// The summary's figures, then the held-out ones and the verdict on the scan
// through what was fitted.
void ExpectSummaryWithHeldOutAndVerdict(const std::string& out) {
    EXPECT_NE(out.find("chartSummary=ΔE2000（288 パッチ）"), std::string::npos) << out;
    EXPECT_NE(out.find("\n交差検証（5 分割）の ΔE2000: 平均 "), std::string::npos);
    EXPECT_NE(out.find("\n合格した最高レベル: FADGI 2023 4 stars、ISO 19264-1 A、"
                       "Metamorfoze Full"),
              std::string::npos)
        << out;
}

// The first run chooses the chart and its reference and takes a picture of
// the dialog, in which the test finds the top-left handle; the second
// finds both remembered, the handles on the chart, and drags that handle.
TEST(TamrelChartDialog, OpensOnTheChartFindsItAgainAndAppliesAsOneUndoStep) {
    const ScratchDir scratch;
    const Chart chart = WriteChart(scratch);
    std::ofstream(scratch / "broken.txt") << "CGATS.17\nBEGIN_DATA\nA01 1 2\n";
    const std::string open = apptest::OpenImageSteps(chart.scan) + kOpenDialog;
    RunSetup first;
    first.script = open + ChooseIt8(chart) + "; grab " + (scratch / "dialog.png").string() +
                   "; key Escape; key Escape";
    ASSERT_EQ(RunTamrel(scratch, first).status, 0);
    const QPoint handle = TopLeftHandle(scratch / "dialog.png");
    ASSERT_GE(handle.x(), 0) << "no handle in the dialog's picture";
    const std::string drag = "drag chartDialog " + std::to_string(handle.x()) + " " +
                             std::to_string(handle.y()) + " " + std::to_string(handle.x() + 15) +
                             " " + std::to_string(handle.y() + 12);
    const std::string print = "; print IDC_VALUE_BLACK; print IDC_VALUE_WHITE; "
                              "print IDC_VALUE_ALPHA; print IDC_VALUE_GAMMA";
    RunSetup second;
    second.script = open + "; print chartKind; print chartReference; print chartCorners; " + drag +
                    "; wait 1000; print chartCorners; click chartFind; wait 2500; print "
                    "chartCorners; click chartBrowse; wait 300; type " +
                    (scratch / "broken.txt").string() +
                    "; key Return; wait 300; print qt_msgbox_label; key Return; wait 300; print "
                    "chartReference; print chartSummary; click chartApply; wait 200; click "
                    "chartClose; wait 300" +
                    print + "; key Ctrl+Z" + print + "; key Escape";
    const auto result = RunTamrel(scratch, second);
    ASSERT_EQ(result.status, 0) << result.err << result.out;
    EXPECT_EQ(Printed(result.out, "chartKind"), (std::vector<std::string>{"IT8.7/2"}));
    EXPECT_EQ(Printed(result.out, "chartReference"),
              (std::vector<std::string>{"it8.txt", "it8.txt"}));
    EXPECT_EQ(Printed(result.out, "qt_msgbox_label"),
              (std::vector<std::string>{"基準ファイルを読めません。"}));
    ExpectFoundMovedAndFoundAgain(Printed(result.out, "chartCorners"));
    ExpectSummaryWithHeldOutAndVerdict(result.out);
    ExpectAppliedAndUndone(Values(result.out));
}

// With the test device as the last one used, 保存 offers the profile for
// its scans; taken, a scan from it saved as TIFF carries the profile. The
// program runs in a locale of decimal commas, where the reference's
// numbers must read as they do anywhere (where that locale is installed).
TEST(TamrelChartDialog, TheSavedProfileIsTakenForTheDeviceAndItsScanCarriesIt) {
    const ScratchDir scratch;
    const Chart chart = WriteChart(scratch);
    std::filesystem::create_directories(scratch / "config" / "ruma-SELVO");
    std::ofstream(scratch / "config" / "ruma-SELVO" / "Tamrel.conf")
        << "[scan]\nlastDevice=test:0\n";
    const std::filesystem::path icc = scratch / "scanner.icc";
    const std::filesystem::path tif = scratch / "scan.tif";
    RunSetup setup = apptest::WithTestDevice(
        scratch, "mode Color\n",
        apptest::OpenImageSteps(chart.scan) + kOpenDialog + ChooseIt8(chart) +
            "; click chartSave; wait 300; type " + icc.string() +
            "; key Return; wait 500; print qt_msgbox_label; key Alt+Y; wait 300; "
            "click chartClose; wait 300; key Shift+F10; key S; wait 500; click scanStart; "
            "wait 2500; key Shift+F10; key V; wait 500; type " +
            tif.string() + "; key Return; wait 800; close");
    setup.env.emplace_back("LC_ALL", "de_DE.UTF-8");
    const auto result = RunTamrel(scratch, setup);
    ASSERT_EQ(result.status, 0) << result.err << result.out;
    EXPECT_NE(result.out.find("qt_msgbox_label=このプロファイルを test:0 のスキャンに使いますか?"),
              std::string::npos)
        << result.out;
    const std::string profile = ReadBytes(icc);
    ASSERT_FALSE(profile.empty());
    const std::string bytes = ReadBytes(tif);
    const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    const MemorySource source(data);
    const auto rows = OpenRows(ImageFormat::Tiff, source);
    ASSERT_TRUE(rows) << result.err;
    const std::vector<std::uint8_t> carried = (*rows)->Meta().profile;
    EXPECT_EQ(std::string(carried.begin(), carried.end()), profile);
}

} // namespace

} // namespace chart_dialog_end_to_end_test
