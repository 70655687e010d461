// The real program calibrating from a chart scan through 「チャートで校正...」:
// an IT8 scan opened, its reference chosen (and remembered), a corner
// dragged, the summary with the held-out figures and the guidelines'
// highest levels passed, 適用 putting the twelve positions on the sliders
// as one undo step; and the profile saved, taken for the scanner, and embedded in the
// scan then taken in from SANE's test device.
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

// An IT8 scan by the known scanner where the dialog first puts its corners,
// but for the top-left one, a few pixels up and to the left of them.
struct Chart {
    std::filesystem::path scan;
    std::filesystem::path reference;
};

Chart WriteChart(const ScratchDir& scratch) {
    const ChartLayout& layout = LayoutOf(ChartKind::It8);
    const std::vector<ReferencePatch> patches = simscan::It8Patches(false);
    simscan::Scanner scanner;
    scanner.channels = {{{kRedTruth}, {{5, 250, 120, 180}}, {{70, 230, 94, 205}}}};
    ChartCorners corners = InitialCorners(layout, kWidth, kHeight, 0.08);
    corners[0].x -= 4;
    corners[0].y -= 3;
    const Chart chart{scratch / "it8.tif", scratch / "it8.txt"};
    EXPECT_FALSE(simscan::WriteScan(
        simscan::Scan(scanner, layout, ChartReference(patches), corners, kWidth, kHeight),
        chart.scan, ImageFormat::Tiff));
    std::ofstream(chart.reference) << simscan::Cgats(patches, false);
    return chart;
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

// The first run chooses the reference and takes a picture of the dialog, in
// which the test finds the top-left handle; the second finds the reference
// remembered and drags that handle.
TEST(TamrelChartDialog, ACornerDraggedAppliedAndUndoneWithTheReferenceRemembered) {
    const ScratchDir scratch;
    const Chart chart = WriteChart(scratch);
    const std::string open = apptest::OpenImageSteps(chart.scan) + kOpenDialog;
    RunSetup first;
    first.script = open + ChooseIt8(chart) + "; grab " + (scratch / "dialog.png").string() +
                   "; key Escape; key Escape";
    ASSERT_EQ(RunTamrel(scratch, first).status, 0);
    const QPoint handle = TopLeftHandle(scratch / "dialog.png");
    ASSERT_GE(handle.x(), 0) << "no handle in the dialog's picture";
    const std::string drag = "drag chartDialog " + std::to_string(handle.x()) + " " +
                             std::to_string(handle.y()) + " " + std::to_string(handle.x() - 4) +
                             " " + std::to_string(handle.y() - 3);
    const std::string print = "; print IDC_VALUE_BLACK; print IDC_VALUE_WHITE; "
                              "print IDC_VALUE_ALPHA; print IDC_VALUE_GAMMA";
    RunSetup second;
    second.script = open +
                    "; key Alt+C; key Down; wait 1500; print chartReference; "
                    "print chartCorners; " +
                    drag +
                    "; wait 1500; print chartCorners; print chartSummary; click chartApply; "
                    "wait 200; click chartClose; wait 300" +
                    print + "; key Ctrl+Z" + print + "; key Escape";
    const auto result = RunTamrel(scratch, second);
    ASSERT_EQ(result.status, 0) << result.err << result.out;
    EXPECT_EQ(Printed(result.out, "chartReference"), (std::vector<std::string>{"it8.txt"}));
    const std::vector<std::string> corners = Printed(result.out, "chartCorners");
    ASSERT_EQ(corners.size(), 2u) << result.out;
    // The first corner moved; the other three stayed.
    const auto firstCorner = [](const std::string& text) {
        return text.substr(0, text.find(',', text.find(',') + 1));
    };
    const auto otherCorners = [](const std::string& text) {
        return text.substr(text.find(',', text.find(',') + 1));
    };
    EXPECT_NE(firstCorner(corners[0]), firstCorner(corners[1]));
    EXPECT_EQ(otherCorners(corners[0]), otherCorners(corners[1]));
    EXPECT_NE(result.out.find("chartSummary=ΔE2000（288 パッチ）"), std::string::npos)
        << result.out;
    // The held-out figures and the verdict on the scan through what was fitted.
    EXPECT_NE(result.out.find("\n交差検証（5 分割）の ΔE2000: 平均 "), std::string::npos);
    EXPECT_NE(result.out.find("\n合格した最高レベル: FADGI 2023 4 stars、ISO 19264-1 A、"
                              "Metamorfoze Full"),
              std::string::npos)
        << result.out;
    const std::vector<std::string> values = Values(result.out);
    ASSERT_EQ(values.size(), 8u) << result.out;
    EXPECT_EQ(values[0] + "|" + values[2] + "|" + values[4] + "|" + values[6] + "|",
              Labels(kRedTruth));
    EXPECT_EQ(values[1] + "|" + values[3] + "|" + values[5] + "|" + values[7] + "|",
              Labels(ParamPositions{}));
}

// With the test device as the last one used, 保存 offers the profile for
// its scans; taken, a scan from it saved as TIFF carries the profile.
TEST(TamrelChartDialog, TheSavedProfileIsTakenForTheDeviceAndItsScanCarriesIt) {
    const ScratchDir scratch;
    const Chart chart = WriteChart(scratch);
    std::filesystem::create_directories(scratch / "config" / "ruma-SELVO");
    std::ofstream(scratch / "config" / "ruma-SELVO" / "Tamrel.conf")
        << "[scan]\nlastDevice=test:0\n";
    const std::filesystem::path icc = scratch / "scanner.icc";
    const std::filesystem::path tif = scratch / "scan.tif";
    const auto result = RunTamrel(
        scratch,
        apptest::WithTestDevice(
            scratch, "mode Color\n",
            apptest::OpenImageSteps(chart.scan) + kOpenDialog + ChooseIt8(chart) +
                "; click chartSave; wait 300; type " + icc.string() +
                "; key Return; wait 500; print qt_msgbox_label; key Alt+Y; wait 300; "
                "click chartClose; wait 300; key Shift+F10; key S; wait 500; click scanStart; "
                "wait 2500; key Shift+F10; key V; wait 500; type " +
                tif.string() + "; key Return; wait 800; close"));
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
