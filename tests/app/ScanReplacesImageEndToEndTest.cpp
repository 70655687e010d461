// A scan taken into the real program replaces whatever picture it showed, as
// opening a file of the same pixels would: the readout over the whole image
// (before the tables and through them), the histogram behind the curves and
// Black/White from the image all read the scan. The page is saved as PNM and
// opened in a second run, whose readings must be the same.
#include "tests/app/ScanSteps.h"
#include "tests/image/BmpWriter.h"

#include <QImage>

#include <gtest/gtest.h>

namespace scan_replaces_image_end_to_end_test {

namespace {

using namespace apptest;

constexpr const char* kDevice = "mode Color\ntest-picture \"Color pattern\"\n";
constexpr int kHistogramEntry = 3;
constexpr int kBlackWhiteEntry = 5;

// A small ramp of another size than the scan.
std::filesystem::path WriteSmallBmp(const ScratchDir& scratch) {
    const auto path = scratch / "small.bmp";
    bmptest::WriteFile(path, bmptest::EncodeBmp(bmptest::Gradient(30, 20)));
    return path;
}

std::string PrintReadout() {
    return "; print IDC_PIXEL_R; print IDC_PIXEL_G; print IDC_PIXEL_B";
}

// The pointer over the image area and a little beyond it, on a grid.
std::string MoveOverTheImage() {
    std::string steps;
    for (int y = -5; y < 300; y += 23) {
        for (int x = -5; x < 330; x += 19) {
            steps +=
                "; move IDC_IMAGE " + std::to_string(x) + " " + std::to_string(y) + PrintReadout();
        }
    }
    return steps;
}

// What is read after the picture came in, the before-image being shown.
std::string ReadThePicture(const ScratchDir& scratch, const std::string& grab) {
    return MoveOverTheImage() + "; key \\" + MoveOverTheImage() + "; " +
           MenuEntrySteps(kBlackWhiteEntry) +
           "; print IDC_VALUE_BLACK; print IDC_VALUE_WHITE; key Ctrl+Tab"
           "; print IDC_VALUE_BLACK; print IDC_VALUE_WHITE; key Ctrl+Tab"
           "; print IDC_VALUE_BLACK; print IDC_VALUE_WHITE; move IDC_IMAGE 40 40; grab " +
           (scratch / grab).string();
}

std::string SaveTheScan(const std::filesystem::path& path) {
    return "; key Shift+F10; key V; wait 500; type " + path.string() + "; key Return; wait 500";
}

struct Readings {
    std::vector<std::string> red, green, blue, black, white;
};

Readings ReadingsOf(const RunResult& result) {
    return {Printed(result.out, "IDC_PIXEL_R"), Printed(result.out, "IDC_PIXEL_G"),
            Printed(result.out, "IDC_PIXEL_B"), Printed(result.out, "IDC_VALUE_BLACK"),
            Printed(result.out, "IDC_VALUE_WHITE")};
}

void ExpectSameReadings(const Readings& scanned, const Readings& opened) {
    ASSERT_FALSE(scanned.red.empty());
    EXPECT_EQ(scanned.red, opened.red);
    EXPECT_EQ(scanned.green, opened.green);
    EXPECT_EQ(scanned.blue, opened.blue);
    EXPECT_EQ(scanned.black, opened.black);
    EXPECT_EQ(scanned.white, opened.white);
}

// The same steps on the saved page opened as a file.
RunResult OpenTheSavedScan(const ScratchDir& scratch, const std::filesystem::path& saved) {
    RunSetup setup;
    setup.script = OpenImageSteps(saved) + "; key \\; " + MenuEntrySteps(kHistogramEntry) +
                   ReadThePicture(scratch, "opened.png") + "; close";
    setup.limit = std::chrono::seconds(60);
    return RunTamrel(scratch, setup);
}

TEST(TamrelScanReplaces, AScanAfterAFileWithBeforeImageAndHistogramReadsAsTheSamePixelsOpened) {
    const ScratchDir scratch;
    const std::filesystem::path saved = scratch / "scan.pnm";
    RunSetup scan = WithTestDevice(scratch, kDevice,
                                   OpenImageSteps(WriteSmallBmp(scratch)) + "; key \\; " +
                                       MenuEntrySteps(kHistogramEntry) + MoveOverTheImage() + "; " +
                                       kAcquireSteps + ReadThePicture(scratch, "scanned.png") +
                                       SaveTheScan(saved) + "; close");
    scan.limit = std::chrono::seconds(60);
    const RunResult scanned = RunTamrel(scratch, scan);
    ASSERT_TRUE(scanned.exited) << scanned.err;
    ASSERT_EQ(scanned.status, 0) << scanned.err;
    const RunResult opened = OpenTheSavedScan(scratch, saved);
    ASSERT_EQ(opened.status, 0) << opened.err;

    Readings fromScan = ReadingsOf(scanned);
    // The readings over the small file before the scan came in are not the scan's.
    const std::size_t beforeScan = fromScan.red.size() - ReadingsOf(opened).red.size();
    for (auto* channel : {&fromScan.red, &fromScan.green, &fromScan.blue}) {
        channel->erase(channel->begin(), channel->begin() + std::ptrdiff_t(beforeScan));
    }
    ExpectSameReadings(fromScan, ReadingsOf(opened));
    const QImage scannedWindow((scratch / "scanned.png").c_str());
    ASSERT_FALSE(scannedWindow.isNull());
    EXPECT_EQ(scannedWindow, QImage((scratch / "opened.png").c_str()));
}

// A black page: nothing at or above any level but 0, so White goes to its
// floor of 200 in every channel, which only an enabled entry can do.
TEST(TamrelScanReplaces, AScanTakenFirstHasItsHistogramAndBlackWhite) {
    const ScratchDir scratch;
    const std::filesystem::path saved = scratch / "scan.pnm";
    RunSetup scan =
        WithTestDevice(scratch, "mode Color\ntest-picture \"Solid black\"\n",
                       std::string(kAcquireSteps) + "; key \\; " + MenuEntrySteps(kHistogramEntry) +
                           ReadThePicture(scratch, "scanned.png") + SaveTheScan(saved) + "; close");
    scan.limit = std::chrono::seconds(60);
    const RunResult scanned = RunTamrel(scratch, scan);
    ASSERT_EQ(scanned.status, 0) << scanned.err;
    const RunResult opened = OpenTheSavedScan(scratch, saved);
    ASSERT_EQ(opened.status, 0) << opened.err;
    ExpectSameReadings(ReadingsOf(scanned), ReadingsOf(opened));
    EXPECT_EQ(ReadingsOf(scanned).white, (std::vector<std::string>(3, " 200")));
    EXPECT_EQ(QImage((scratch / "scanned.png").c_str()), QImage((scratch / "opened.png").c_str()));
}

// The histogram on, a scan not saved, then a file of another size: opening
// it, or scanning again, first asks whether to discard the scan, and No
// keeps the window as it was. Yes opens the file, and the window shows the
// file's own histogram, as a run that opened only the file does.
TEST(TamrelScanReplaces, AFileOpenedAfterAnUnsavedScanAsksFirstAndShowsItsOwnHistogram) {
    const ScratchDir scratch;
    const std::filesystem::path file = WriteSmallBmp(scratch);
    const auto grab = [&](const char* name) { return "; grab " + (scratch / name).string(); };
    RunSetup both = WithTestDevice(
        scratch, kDevice,
        MenuEntrySteps(kHistogramEntry) + "; " + kAcquireSteps + grab("scanned.png") +
            "; click IDC_OPEN_IMAGE; await qt_msgbox_label 5000; print qt_msgbox_label; key N; "
            "await IDC_APPLY 5000" +
            grab("kept.png") +
            "; key Shift+F10; key S; await qt_msgbox_label 5000; print qt_msgbox_label; key N; "
            "await IDC_APPLY 5000" +
            grab("kept-again.png") +
            "; click IDC_OPEN_IMAGE; await qt_msgbox_label 5000; key Y; await fileNameEdit 5000; "
            "type " +
            file.string() + "; key Return; await IDC_APPLY 5000; wait 300" +
            grab("after-scan.png") + "; close");
    both.limit = std::chrono::seconds(60);
    const RunResult asked = RunTamrel(scratch, both);
    ASSERT_EQ(asked.status, 0) << asked.err;
    const std::vector<std::string> questions = Printed(asked.out, "qt_msgbox_label");
    ASSERT_EQ(questions.size(), 2u) << asked.out;
    EXPECT_EQ(questions[0], "取り込んだ画像が保存されていません。破棄して開きますか?");
    EXPECT_EQ(questions[1], "取り込んだ画像が保存されていません。破棄して取り込みますか?");
    const QImage scanned((scratch / "scanned.png").c_str());
    ASSERT_FALSE(scanned.isNull());
    EXPECT_EQ(QImage((scratch / "kept.png").c_str()), scanned) << "No keeps the scan";
    EXPECT_EQ(QImage((scratch / "kept-again.png").c_str()), scanned) << "No keeps the scan";
    RunSetup only;
    only.script = OpenImageSteps(file) + "; " + MenuEntrySteps(kHistogramEntry) + "; grab " +
                  (scratch / "only-file.png").string() + "; close";
    ASSERT_EQ(RunTamrel(scratch, only).status, 0);
    const QImage afterScan((scratch / "after-scan.png").c_str());
    ASSERT_FALSE(afterScan.isNull());
    EXPECT_EQ(afterScan, QImage((scratch / "only-file.png").c_str()));
}

} // namespace

} // namespace scan_replaces_image_end_to_end_test
