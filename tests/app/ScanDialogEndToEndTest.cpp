// The scan dialog in the real program, on SANE's virtual test device: the
// preview and the area dragged on it, the scan of that area, the choices
// remembered by the next run, another source, no scanner at all, and
// closing the window with a scan not yet saved.
#include "tests/app/RunTamrel.h"
#include "tests/app/ScanSteps.h"
#include "tests/app/TestDevice.h"

#include <QImage>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace scan_dialog_end_to_end_test {

namespace {

using apptest::RunTamrel;
using apptest::WithTestDevice;

constexpr const char* kOpenDialog = "wait 200; key Shift+F10; key S; wait 500; ";
constexpr const char* kBlackBed = "test-picture \"Solid black\"\n";
// Inside the bed's picture wherever the dialog's layout puts it.
constexpr const char* kDragArea = "drag scanArea 150 100 220 200; wait 100; ";
// A black preview fills this many pixels of the dialog at least; text and
// frames without a preview stay far below it.
constexpr int kPreviewPixels = 40000;

// Pixels darker than any part of the dialog but a black preview.
int DarkPixels(const std::filesystem::path& grab) {
    const QImage image(QString::fromStdString(grab.string()));
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            dark += qRed(pixel) < 0x30 && qGreen(pixel) < 0x30 && qBlue(pixel) < 0x30 ? 1 : 0;
        }
    }
    return dark;
}

// "NAME=text" printed by the script, the text of its first line.
std::string Printed(const std::string& out, const std::string& name, std::size_t nth = 0) {
    std::size_t at = 0;
    for (std::size_t i = 0; i <= nth; ++i) {
        at = out.find(name + "=", i == 0 ? 0 : at + 1);
        if (at == std::string::npos) {
            return {};
        }
    }
    const std::size_t start = at + name.size() + 1;
    return out.substr(start, out.find('\n', start) - start);
}

// The two numbers of "W × H ...", or -1s.
std::pair<long, long> TwoNumbers(const std::string& text) {
    std::istringstream in(text);
    long width = -1;
    long height = -1;
    std::string times;
    in >> width >> times >> height;
    return {width, height};
}

std::pair<long, long> PnmSize(const std::filesystem::path& file) {
    std::istringstream header(ReadBytes(file));
    std::string magic;
    long width = -1;
    long height = -1;
    header >> magic >> width >> height;
    return {width, height};
}

TEST(TamrelScanDialog, ThePreviewedAreaDraggedOnItIsTheAreaScanned) {
    ScratchDir scratch;
    const std::filesystem::path out = scratch / "area.pnm";
    const auto result = RunTamrel(
        scratch,
        WithTestDevice(scratch, kBlackBed,
                       std::string(kOpenDialog) + "grab " + (scratch / "before.png").string() +
                           "; click scanPreview; wait 1500; " + kDragArea +
                           "print scanAreaMm; print scanAreaPixels; print scanFileSize; "
                           "click scanStart; wait 2000; key Shift+F10; key V; wait 500; type " +
                           out.string() + "; key Return; wait 500; " + kOpenDialog + "grab " +
                           (scratch / "again.png").string() +
                           "; print scanAreaMm; key Escape; wait 200; close"));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    const auto [width, height] = TwoNumbers(Printed(result.out, "scanAreaPixels"));
    ASSERT_GT(width, 0) << result.out;
    const auto [scannedWidth, scannedHeight] = PnmSize(out);
    // The size shown before the scan is the size scanned, to the pixel.
    EXPECT_EQ(scannedWidth, width) << result.out;
    EXPECT_EQ(scannedHeight, height) << result.out;
    // 300 dpi, 8-bit colour: three bytes a pixel.
    EXPECT_NE(Printed(result.out, "scanFileSize").find("MB"), std::string::npos);
    EXPECT_LT(DarkPixels(scratch / "before.png"), kPreviewPixels)
        << "no preview before one is taken";
    EXPECT_GT(DarkPixels(scratch / "again.png"), kPreviewPixels)
        << "the preview stays for the next dialog";
    EXPECT_EQ(Printed(result.out, "scanAreaMm", 1), Printed(result.out, "scanAreaMm"))
        << "the next dialog keeps the area";
}

// The test device's bed is 200 mm square; it starts with a smaller area.
// Once the area is the whole bed, a drag inside it draws a new one, and a
// drag with Ctrl moves that one without changing its size.
TEST(TamrelScanDialog, ADoubleClickOrWholeBedReturnsToTheWholeBedInsideWhichANewAreaIsDrawn) {
    ScratchDir scratch;
    const auto result = RunTamrel(
        scratch, WithTestDevice(scratch, "",
                                std::string(kOpenDialog) +
                                    "print scanAreaMm; dclick scanArea 150 150; wait 100; "
                                    "print scanAreaMm; drag scanArea 100 100 200 250; wait 100; "
                                    "print scanAreaMm; print scanAreaPixels; "
                                    "drag scanArea 150 175 120 140 Ctrl; wait 100; "
                                    "print scanAreaMm; print scanAreaPixels; "
                                    "click scanWholeBed; wait 100; "
                                    "print scanAreaMm; key Escape; wait 200; close"));
    ASSERT_TRUE(result.exited) << result.err;
    const std::string whole = "200.0 × 200.0 mm";
    EXPECT_NE(Printed(result.out, "scanAreaMm", 0), whole) << result.out;
    EXPECT_EQ(Printed(result.out, "scanAreaMm", 1), whole) << result.out;
    EXPECT_NE(Printed(result.out, "scanAreaMm", 2), whole) << "drawn inside the whole bed";
    EXPECT_EQ(Printed(result.out, "scanAreaMm", 3), Printed(result.out, "scanAreaMm", 2))
        << "moved with Ctrl: the same size";
    EXPECT_EQ(Printed(result.out, "scanAreaPixels", 1), Printed(result.out, "scanAreaPixels", 0));
    EXPECT_EQ(Printed(result.out, "scanAreaMm", 4), whole) << result.out;
}

// The first run finds a settings file it cannot read: it says so beside the
// window, without taking the keys the steps press, moves the file aside,
// and keeps its own choices for the next run.
TEST(TamrelScanDialog, TheNextRunRemembersTheDeviceAndItsChoicesInTheSettingsFile) {
    ScratchDir scratch;
    const std::filesystem::path settings = scratch / "config" / "ruma-SELVO" / "Tamrel.conf";
    std::filesystem::create_directories(settings.parent_path());
    const std::string garbage = "[scan]\nlastDevice=test:0\n[devices\n\xff\xfe=\x01\n";
    WriteBytes(settings, garbage);
    const auto first = RunTamrel(
        scratch, WithTestDevice(scratch, "",
                                "wait 200; print qt_msgbox_label; " + std::string(kOpenDialog) +
                                    "click scanDepth; wait 200; key Down; key Return; wait 200; "
                                    "click scanResolution; wait 200; key Down; key Return; wait "
                                    "200; " +
                                    kDragArea +
                                    "print scanAreaMm; print scanResolution; click scanStart; "
                                    "wait 2500; close; wait 300; key Y"));
    ASSERT_TRUE(first.exited) << first.err;
    EXPECT_EQ(Printed(first.out, "qt_msgbox_label"),
              "設定ファイルを読めませんでした。既定の設定で始めます。")
        << first.out;
    EXPECT_NE(first.err.find("tamrel: cannot read the settings file " + settings.string() +
                             "; using the defaults"),
              std::string::npos)
        << first.err;
    EXPECT_EQ(ReadBytes(settings.string() + ".bad"), garbage);
    const auto second = RunTamrel(
        scratch, WithTestDevice(scratch, "",
                                std::string(kOpenDialog) +
                                    "print scanDevice; print scanDepth; print scanResolution; "
                                    "print scanAreaMm; key Escape; wait 200; close"));
    ASSERT_TRUE(second.exited) << second.err;
    EXPECT_EQ(second.status, 0);
    EXPECT_NE(Printed(second.out, "scanDevice").find("test:0"), std::string::npos) << second.out;
    EXPECT_EQ(Printed(second.out, "scanDepth"), "16");
    EXPECT_EQ(Printed(second.out, "scanResolution"), Printed(first.out, "scanResolution"));
    EXPECT_NE(Printed(second.out, "scanResolution"), "300") << "a resolution was picked";
    EXPECT_EQ(Printed(second.out, "scanAreaMm"), Printed(first.out, "scanAreaMm"));
}

TEST(TamrelScanDialog, AnotherSourceIsOfferedAndClearsThePreview) {
    ScratchDir scratch;
    const auto result = RunTamrel(
        scratch,
        WithTestDevice(scratch, kBlackBed,
                       std::string(kOpenDialog) +
                           "print scanSource; click scanPreview; wait 1500; grab " +
                           (scratch / "flatbed.png").string() +
                           "; click scanSource; wait 200; key Down; key Return; wait "
                           "300; print scanSource; grab " +
                           (scratch / "feeder.png").string() + "; key Escape; wait 200; close"));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(Printed(result.out, "scanSource"), "Flatbed") << result.out;
    EXPECT_NE(Printed(result.out, "scanSource", 1), "Flatbed") << result.out;
    EXPECT_FALSE(Printed(result.out, "scanSource", 1).empty()) << result.out;
    EXPECT_GT(DarkPixels(scratch / "flatbed.png"), kPreviewPixels);
    EXPECT_LT(DarkPixels(scratch / "feeder.png"), kPreviewPixels);
}

// Return after a preview takes the scan, whatever the focus fell on.
TEST(TamrelScanDialog, ReturnAfterAPreviewTakesTheScan) {
    ScratchDir scratch;
    const auto result = RunTamrel(
        scratch, WithTestDevice(scratch, "test-picture \"Solid white\"\n",
                                std::string(kOpenDialog) +
                                    "click scanPreview; wait 1500; key Return; wait 2000; "
                                    "move IDC_IMAGE 100 100; print IDC_PIXEL_R; close; wait 300; "
                                    "key Y"));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(Printed(result.out, "IDC_PIXEL_R"), "R: 255") << result.out;
}

// A slow device: 中止 ends the preview early (its whole bed takes about two
// seconds to read), and the dialog goes on without one.
TEST(TamrelScanDialog, StoppingThePreviewLeavesTheDialogWithoutOne) {
    ScratchDir scratch;
    const auto result = RunTamrel(
        scratch,
        WithTestDevice(scratch,
                       std::string(kBlackBed) + "read-delay true\nread-delay-duration 200000\n",
                       std::string(kOpenDialog) +
                           "click scanPreview; wait 600; click scanStopPreview; wait 3000; "
                           "grab " +
                           (scratch / "stopped.png").string() +
                           "; print scanPreview; print scanStatus; key Escape; wait 200; close"));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(Printed(result.out, "scanPreview"), "プレビュー") << result.out;
    EXPECT_EQ(Printed(result.out, "scanStatus"), "") << "a stop is no failure";
    EXPECT_LT(DarkPixels(scratch / "stopped.png"), kPreviewPixels);
}

// A slow device: Escape during the preview stops it, as 中止 does, and the
// dialog stays, without a preview; a second Escape closes it, and the
// window still shows the file opened before.
TEST(TamrelScanDialog, EscapeDuringAPreviewStopsItAndTheDialogStays) {
    ScratchDir scratch;
    const std::filesystem::path white = scratch / "white.pnm";
    WriteBytes(white, "P6\n300 300\n255\n" + std::string(300 * 300 * 3, '\xff'));
    const auto result = RunTamrel(
        scratch,
        WithTestDevice(scratch,
                       std::string(kBlackBed) + "read-delay true\nread-delay-duration 200000\n",
                       apptest::OpenImageSteps(white) + "; " + kOpenDialog +
                           "click scanPreview; wait 600; key Escape; wait 3000; grab " +
                           (scratch / "stopped.png").string() +
                           "; print scanStart; print scanStatus; key Escape; wait 300; "
                           "move IDC_IMAGE 230 250; print IDC_PIXEL_R; close"));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(Printed(result.out, "scanStart"), "取り込む") << "the dialog stayed\n" << result.out;
    EXPECT_EQ(Printed(result.out, "scanStatus"), "") << "a stop is no failure";
    EXPECT_LT(DarkPixels(scratch / "stopped.png"), kPreviewPixels);
    EXPECT_EQ(Printed(result.out, "IDC_PIXEL_R"), "R: 255") << result.out;
}

// Without a scanner the dialog says how to find one; one configured while
// the dialog is open is found by 再検索.
TEST(TamrelScanDialog, WithoutAScannerItSaysHowToFindOneAndSearchingAgainFindsItOnceThere) {
    ScratchDir scratch;
    auto setup = WithTestDevice(scratch, "",
                                std::string(kOpenDialog) +
                                    "print scanNoDevice; wait 1000; click scanSearch; wait 300; "
                                    "print scanDevice; key Escape; wait 200; close");
    std::ofstream(scratch / "sane" / "dll.conf", std::ios::trunc) << "# no backends\n";
    // The scanner is configured once the dialog has said there is none.
    std::thread configure([&scratch] {
        for (int polls = 0; polls < 1000; ++polls) {
            if (ReadBytes(scratch / ".tamrel-stdout").find("scanNoDevice=") != std::string::npos) {
                std::ofstream(scratch / "sane" / "dll.conf", std::ios::trunc) << "test\n";
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    const auto result = RunTamrel(scratch, setup);
    configure.join();
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(Printed(result.out, "scanDevice").find("(test:0)"), std::string::npos) << result.out;
    const std::string text = Printed(result.out, "scanNoDevice");
    EXPECT_NE(text.find("スキャナが見つかりません"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("scanimage -L"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("/etc/sane.d"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("scanner グループ"), std::string::npos) << result.out;
}

TEST(TamrelScanDialog, ClosingWithAnUnsavedScanAsksAndNoKeepsTheWindow) {
    ScratchDir scratch;
    const auto result = RunTamrel(
        scratch, WithTestDevice(scratch, "",
                                std::string(kOpenDialog) +
                                    "click scanStart; wait 1500; key Escape; wait 300; "
                                    "print qt_msgbox_label; key Return; wait 300; "
                                    "print IDC_APPLY; close; wait 300; print qt_msgbox_label; "
                                    "key Y"));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    const std::string asked = Printed(result.out, "qt_msgbox_label");
    EXPECT_NE(asked.find("保存されていません"), std::string::npos) << result.out;
    const std::size_t stayed = result.out.find("IDC_APPLY=");
    ASSERT_NE(stayed, std::string::npos) << "the window stayed after No\n" << result.out;
    EXPECT_GT(stayed, result.out.find("qt_msgbox_label="));
    EXPECT_EQ(Printed(result.out, "qt_msgbox_label", 1), asked) << "the close box asks again";
}

} // namespace

}  // namespace scan_dialog_end_to_end_test
