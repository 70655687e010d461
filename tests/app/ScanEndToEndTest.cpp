// Scanning in the real program from SANE's virtual test device, configured
// per test (its picture, a failure to give) in a SANE folder of the test's
// own: the context menu entries, the scan dialog, the preview afterwards,
// the file written with the tables, and failures and closing mid-scan.
#include "tests/app/RunTamrel.h"
#include "tests/app/ScanSteps.h"
#include "tests/app/TestDevice.h"
#include "tests/image/ReadSamples.h"
#include "tests/support/SmallDisk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace scan_end_to_end_test {

namespace {

using apptest::FeederBatchSteps;
using apptest::RunSetup;
using apptest::RunTamrel;
using apptest::WithTestDevice;

constexpr const char* kAcquire = "wait 200; key Shift+F10; key S; wait 500; click scanStart; "
                                 "wait 1500; ";

TEST(TamrelScan, AcquiringPutsTheScanInAsTheLoadedImage) {
    ScratchDir scratch;
    const auto result = RunTamrel(
        scratch, WithTestDevice(scratch, "test-picture \"Solid white\"\n",
                                std::string(kAcquire) +
                                    "move IDC_IMAGE 100 100; print IDC_PIXEL_R; print IDC_PIXEL_B; "
                                    "print IDC_APPLY; close; wait 300; key Y"));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    // White stays white through the start-up curve; an empty preview shows no reading.
    EXPECT_NE(result.out.find("IDC_PIXEL_R=R: 255"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("IDC_PIXEL_B=B: 255"), std::string::npos) << result.out;
}

// Depth 16 picked in the dialog, the scan saved from the menu as PNG.
TEST(TamrelScan, ASixteenBitScanIsSavedAsASixteenBitPng) {
    ScratchDir scratch;
    const std::filesystem::path out = scratch / "scan.png";
    const auto result = RunTamrel(
        scratch, WithTestDevice(scratch, "mode Color\ntest-picture \"Color pattern\"\n",
                                "wait 200; key Shift+F10; key S; wait 500; click scanDepth; "
                                "wait 200; key Down; key Return; wait 200; click scanStart; "
                                "wait 1500; key Shift+F10; key V; wait 500; type " +
                                    out.string() + "; key Return; wait 500; close"));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    const std::string bytes = ReadBytes(out);
    RowLayout layout;
    const std::vector<std::uint16_t> samples = scantest::ReadSamples(
        ImageFormat::Png, std::vector<std::uint8_t>(bytes.begin(), bytes.end()), layout);
    EXPECT_EQ(layout.Format.BitsPerSample, 16);
    EXPECT_EQ(layout.Format.Samples, 3);
    // The colour pattern has levels between the 8-bit steps only 16 bits can hold.
    EXPECT_TRUE(
        std::any_of(samples.begin(), samples.end(), [](std::uint16_t v) { return v % 257 != 0; }));
}

TEST(TamrelScan, ScanningWithTablesAsksForTheFileAndSaysItIsDone) {
    ScratchDir scratch;
    const std::filesystem::path out = scratch / "scan.pnm";
    const auto result = RunTamrel(
        scratch, WithTestDevice(scratch, "mode Color\n",
                                "wait 200; key Shift+F10; key T; wait 500; click scanStart; "
                                "wait 500; type " +
                                    out.string() +
                                    "; key Return; wait 1500; print qt_msgbox_label; "
                                    "print qt_msgbox_informativelabel; key Return; "
                                    "wait 200; close"));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("qt_msgbox_label=スキャンしました。"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("qt_msgbox_informativelabel=" + out.string() + "\n"),
              std::string::npos)
        << "the message names the file\n"
        << result.out;
    EXPECT_EQ(ReadBytes(out).substr(0, 3), "P6\n");
}

TEST(TamrelScan, AJammedScanGivesOneMessageWithSanesReasonAndKeepsNothing) {
    ScratchDir scratch;
    const auto result = RunTamrel(
        scratch, WithTestDevice(scratch, "read-status-code \"SANE_STATUS_JAMMED\"\n",
                                std::string(kAcquire) +
                                    "print qt_msgbox_label; print qt_msgbox_informativelabel; "
                                    "key Return; wait 200; print IDC_APPLY; close"));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("スキャンできません。"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("test:0"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Document feeder jammed"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("原稿が詰まりました（Document feeder jammed）"), std::string::npos)
        << result.out;
}

// The disk fills up while the scan with the tables is written: one message
// says so in Japanese, the old file of that name stays, nothing else is
// left, and the next scan goes through.
TEST(TamrelScan, AFullDiskKeepsTheOldFileAndTheNextScanGoesThrough) {
    ScratchDir scratch;
    const SmallDisk disk(scratch / "disk", 16);
    if (!disk.Mounted()) {
        GTEST_SKIP() << disk.Why();
    }
    const std::filesystem::path out = disk.Path() / "scan.pnm";
    WriteBytes(out, "old");
    const std::filesystem::path again = scratch / "again.pnm";
    const std::string scanTo =
        "wait 200; key Shift+F10; key T; wait 500; click scanStart; wait 500; "
        "type ";
    const auto result = RunTamrel(
        scratch, WithTestDevice(scratch, "mode Color\n",
                                scanTo + out.string() +
                                    "; key Return; wait 300; key Alt+Y; wait 1500; "
                                    "print qt_msgbox_label; print qt_msgbox_informativelabel; "
                                    "key Return; wait 200; " +
                                    scanTo + again.string() +
                                    "; key Return; wait 1500; print qt_msgbox_label; "
                                    "key Return; wait 200; close"));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("qt_msgbox_label=ファイルを保存できません。"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("qt_msgbox_informativelabel=scan.pnm: "
                              "書き込み中にディスクがいっぱいになりました"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(ReadBytes(out), "old");
    EXPECT_EQ(EntriesOf(disk.Path()), std::set<std::string>{"scan.pnm"});
    EXPECT_NE(result.out.find("qt_msgbox_label=スキャンしました。"), std::string::npos)
        << result.out;
    EXPECT_EQ(ReadBytes(again).substr(0, 3), "P6\n");
}

// A slow device: the scan is stopped from its progress while it runs, and the
// window then closes cleanly.
TEST(TamrelScan, AScanStoppedMidwayLetsTheWindowCloseCleanly) {
    ScratchDir scratch;
    const auto result =
        RunTamrel(scratch, WithTestDevice(scratch,
                                          "resolution 300.0\nread-delay true\n"
                                          "read-delay-duration 200000\n",
                                          "wait 200; key Shift+F10; key S; await scanStart 5000; "
                                          "click scanStart; await scanProgress 5000; wait 300; "
                                          "key Escape; gone scanProgress 10000; close; wait 100; "
                                          "close"));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.signal, 0);
}

} // namespace

namespace {

std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// True for a whole 8-bit P6 file: its header's width x height x 3 bytes follow it.
bool IsWholePnm(const std::string& bytes) {
    std::istringstream in(bytes);
    std::string magic;
    std::size_t width = 0;
    std::size_t height = 0;
    int maxval = 0;
    in >> magic >> width >> height >> maxval;
    in.get();
    return magic == "P6" && maxval == 255 && in &&
           bytes.size() == static_cast<std::size_t>(in.tellg()) + width * height * 3;
}

// The same batch twice: the second asks once about the pages of the first
// and, told to number on (N), writes its pages after them.
TEST(TamrelScan, AFeederBatchRunTwiceNumbersOnAfterTheFirstWhenToldTo) {
    ScratchDir scratch;
    const std::filesystem::path pages = scratch / "pages";
    std::filesystem::create_directories(pages);
    const std::string batch = FeederBatchSteps(pages / "scan.pnm", 0);
    const auto result = RunTamrel(
        scratch, WithTestDevice(scratch, "mode Color\n",
                                batch +
                                    "; gone scanProgress 20000; wait 100; print qt_msgbox_label; "
                                    "print qt_msgbox_informativelabel; key Return; wait 200; " +
                                    batch +
                                    "; await qt_msgbox_label 5000; print qt_msgbox_label; key N; "
                                    "wait 300; gone scanProgress 20000; wait 100; "
                                    "print qt_msgbox_informativelabel; key Return; wait 200; "
                                    "close"));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    const auto said = apptest::Printed(result.out, "qt_msgbox_label");
    const auto where = apptest::Printed(result.out, "qt_msgbox_informativelabel");
    ASSERT_EQ(said.size(), 2u) << result.out;
    ASSERT_EQ(where.size(), 2u) << result.out;
    EXPECT_EQ(said[0], "10 ページをスキャンしました。");
    EXPECT_EQ(where[0],
              "10 ページを保存しました: " + (pages / "scan-001.pnm").string() + " 〜 scan-010.pnm");
    EXPECT_EQ(said[1], "「scan-001.pnm」など、この名前のページがすでに 10 個あります。");
    EXPECT_EQ(where[1],
              "10 ページを保存しました: " + (pages / "scan-011.pnm").string() + " 〜 scan-020.pnm");
    std::vector<std::string> expected;
    for (int page = 1; page <= 20; ++page) {
        expected.push_back("scan-0" + std::string(page < 10 ? "0" : "") + std::to_string(page) +
                           ".pnm");
    }
    EXPECT_EQ(FilesIn(pages), expected);
    EXPECT_TRUE(IsWholePnm(ReadBytes(pages / "scan-020.pnm")));
}

// A slow feeder: its progress keeps the focus from page to page, and two
// Escapes in a row after the second page stop the batch without reaching
// the window. The finished pages stay whole, the page in progress leaves
// nothing, and the end says how many pages were kept and where. The
// stopped page is checked for leaks too (in the sanitizer build).
TEST(TamrelScan, EscapeStopsABatchKeepingTheFinishedPagesAndNeverReachesTheWindow) {
    ScratchDir scratch;
    const std::filesystem::path pages = scratch / "pages";
    std::filesystem::create_directories(pages);
    const auto result = RunTamrel(
        scratch, WithTestDevice(scratch, "mode Color\nread-delay true\nread-delay-duration 20000\n",
                                FeederBatchSteps(pages / "scan.pnm", 0) +
                                    "; await scanProgress 5000; hold scanProgress 2500; gap 0; "
                                    "key Escape; key Escape; gap 50; gone scanProgress 5000; "
                                    "wait 100; print qt_msgbox_label; "
                                    "print qt_msgbox_informativelabel; key Return; wait 200; "
                                    "print IDC_APPLY; close"));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err.find("automation:"), std::string::npos) << result.err;
    const std::vector<std::string> kept = FilesIn(pages);
    ASSERT_FALSE(kept.empty());
    ASSERT_LT(kept.size(), 10u);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(kept[i], "scan-00" + std::to_string(i + 1) + ".pnm");
        EXPECT_TRUE(IsWholePnm(ReadBytes(pages / kept[i]))) << kept[i];
    }
    EXPECT_NE(result.out.find("qt_msgbox_label=スキャンを中止しました。\n"), std::string::npos)
        << result.out;
    const std::string where = (pages / kept.front()).string();
    EXPECT_NE(result.out.find("qt_msgbox_informativelabel=" + std::to_string(kept.size()) +
                              " ページを保存しました: " + where +
                              (kept.size() > 1 ? " 〜 " + kept.back() : "") + "\n"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("IDC_APPLY="), std::string::npos) << "the window stayed";
}

// A slow feeder told to replace (上書き) the twenty pages of an earlier batch
// and stopped early: the earlier pages beyond its own stay, untouched, and
// its end names them beside the pages it kept. Its progress has a name a
// screen reader speaks.
TEST(TamrelScan, AReplacingBatchStoppedEarlySaysWhichEarlierPagesRemain) {
    ScratchDir scratch;
    const std::filesystem::path pages = scratch / "pages";
    std::filesystem::create_directories(pages);
    const auto pageName = [](int page) {
        return "scan-0" + std::string(page < 10 ? "0" : "") + std::to_string(page) + ".pnm";
    };
    for (int page = 1; page <= 20; ++page) {
        WriteBytes(pages / pageName(page), "old");
    }
    const auto result = RunTamrel(
        scratch, WithTestDevice(scratch, "mode Color\nread-delay true\nread-delay-duration 20000\n",
                                FeederBatchSteps(pages / "scan.pnm", 0) +
                                    "; await qt_msgbox_label 5000; key O; "
                                    "await scanProgress 5000; spoken scanProgress; "
                                    "hold scanProgress 2500; gap 0; key Escape; key Escape; "
                                    "gap 50; gone scanProgress 5000; wait 100; "
                                    "print qt_msgbox_informativelabel; key Return; wait 200; "
                                    "close"));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    ASSERT_EQ(FilesIn(pages).size(), 20u) << "nothing deleted";
    int kept = 0;
    while (kept < 20 && ReadBytes(pages / pageName(kept + 1)) != "old") {
        EXPECT_TRUE(IsWholePnm(ReadBytes(pages / pageName(++kept))));
    }
    ASSERT_GT(kept, 0);
    ASSERT_LT(kept, 10);
    for (int page = kept + 1; page <= 20; ++page) {
        EXPECT_EQ(ReadBytes(pages / pageName(page)), "old") << page;
    }
    const std::string keptLine =
        kept == 1
            ? "1 ページを保存しました: " + (pages / pageName(1)).string()
            : std::to_string(kept) + " ページを保存しました: " + (pages / pageName(1)).string() +
                  " 〜 " + pageName(kept);
    EXPECT_NE(result.out.find("qt_msgbox_informativelabel=" + keptLine + "\n以前のページが " +
                              std::to_string(20 - kept) + " 個残っています: " + pageName(kept + 1) +
                              " 〜 " + pageName(20) + "\n"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(apptest::Printed(result.out, "scanProgress:spoken"),
              std::vector<std::string>{"スキャンの進行状況"});
}

} // namespace

} // namespace scan_end_to_end_test
