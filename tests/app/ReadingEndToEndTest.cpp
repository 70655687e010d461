// The real program reading its scan: the image before the tables on the
// backslash key, Black and White from the image through the context menu,
// its undo and redo on the keys, and the histogram behind the curves; files
// of other programs: a TIFF turned by its Orientation tag shown upright, a
// JPEG without its end marker opened with a note, a CMYK one refused; the
// chart dialog's words for reference files of other kinds.
#include "curve/ChannelParams.h"
#include "tests/app/RunTamrel.h"
#include "tests/app/ScanSteps.h"
#include "tests/image/BmpWriter.h"
#include "tests/support/OtherProgram.h"

#include <QImage>

#include <cstring>

#include <gtest/gtest.h>

namespace reading_end_to_end_test {

namespace {

using apptest::Printed;
using apptest::RunSetup;
using apptest::RunTamrel;

constexpr std::uint32_t kLevel = 64;

RunSetup Script(std::string script) {
    RunSetup setup;
    setup.script = std::move(script);
    return setup;
}

// Grey `level` everywhere, larger than the image area, so the pointer is
// over the image wherever it rests in the area.
std::filesystem::path WriteGrey(const ScratchDir& scratch, std::uint32_t level = kLevel) {
    bmptest::Picture p{800, 700, {}};
    p.pixels.assign(std::size_t{800} * 700, level << 16 | level << 8 | level);
    const auto path = scratch / ("grey" + std::to_string(level) + ".bmp");
    bmptest::WriteFile(path, bmptest::EncodeBmp(p));
    return path;
}

TEST(TamrelReading, BackslashShowsTheImageBeforeTheTablesAndTheReadoutFollows) {
    const ScratchDir scratch;
    // The pointer rests: the readout follows the switch of the shown image.
    const std::string read = "; print IDC_PIXEL_R";
    const auto result = RunTamrel(scratch, Script(apptest::OpenImageSteps(WriteGrey(scratch)) +
                                                  "; move IDC_IMAGE 60 60" + read + "; key \\" +
                                                  read + "; key \\" + read + "; key Escape"));
    ASSERT_EQ(result.status, 0) << result.err;
    GammaTable table{};
    ComputeChannelTable(kDefaultChannelParams, table);
    const std::string through = "R: " + std::to_string(table[kLevel]);
    EXPECT_EQ(Printed(result.out, "IDC_PIXEL_R"),
              (std::vector<std::string>{through, "R: 64", through}))
        << result.out;
}

// The pointer rests over the image while another file is opened (through
// the file dialog): the readout reads the new image at once.
TEST(TamrelReading, TheReadoutReadsANewlyOpenedImageWithoutThePointerMoving) {
    const ScratchDir scratch;
    constexpr std::uint32_t kOtherLevel = 200;
    const std::string read = "; print IDC_PIXEL_R; print IDC_PIXEL_B";
    const auto result = RunTamrel(
        scratch, Script(apptest::OpenImageSteps(WriteGrey(scratch)) + "; move IDC_IMAGE 60 60" +
                        read + "; " + apptest::OpenImageSteps(WriteGrey(scratch, kOtherLevel)) +
                        read + "; key Escape"));
    ASSERT_EQ(result.status, 0) << result.err;
    GammaTable table{};
    ComputeChannelTable(kDefaultChannelParams, table);
    const std::string first = std::to_string(table[kLevel]);
    const std::string second = std::to_string(table[kOtherLevel]);
    EXPECT_EQ(Printed(result.out, "IDC_PIXEL_R"),
              (std::vector<std::string>{"R: " + first, "R: " + second}))
        << result.out;
    EXPECT_EQ(Printed(result.out, "IDC_PIXEL_B"),
              (std::vector<std::string>{"B: " + first, "B: " + second}))
        << result.out;
}

// The fuzzer's 4 KB TIFF claiming 32832 x 16384 (read in place): the real
// window refuses it with the reason, holding little memory, and keeps going.
TEST(TamrelReading, TheTiffFindingIsRefusedWithItsReasonHoldingLittleMemory) {
    const std::filesystem::path finding =
        std::filesystem::path(TAMREL_SOURCE_DIR) / "../shared/findings/tiff-planar-strip-claim.tif";
    if (!std::filesystem::exists(finding)) {
        GTEST_SKIP() << finding << " is absent";
    }
    const ScratchDir scratch;
    const auto result = RunTamrel(
        scratch, Script(apptest::OpenImageSteps(finding) +
                        "; print qt_msgbox_label; print qt_msgbox_informativelabel; key Return; "
                        "wait 200; usage; key Escape"));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("qt_msgbox_label=ファイルをロードできません。"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("qt_msgbox_informativelabel=tiff-planar-strip-claim.tif: "
                              "データが壊れています（strip 0:"),
              std::string::npos)
        << result.out;
    // The program's own peak: the rusage of a forked child also counts the
    // test's pages it held until its exec, which grow under the sanitizers.
    const std::size_t peak = result.out.find("peak_kb=");
    ASSERT_NE(peak, std::string::npos) << result.out;
    const long peakKb = std::stol(result.out.substr(peak + std::strlen("peak_kb=")));
    EXPECT_GT(peakKb, 0);
    EXPECT_LT(peakKb, 128 * 1024);
}

TEST(TamrelReading, BlackAndWhiteFromTheMenuAreOneStepForCtrlZAndCtrlY) {
    const ScratchDir scratch;
    const std::string print = "; print IDC_VALUE_BLACK; print IDC_VALUE_WHITE";
    const auto result =
        RunTamrel(scratch, Script(apptest::OpenImageSteps(WriteGrey(scratch)) + "; " +
                                  apptest::MenuEntrySteps(5) + print + "; key Ctrl+Z" + print +
                                  "; key Ctrl+Y" + print + "; key Escape"));
    ASSERT_EQ(result.status, 0) << result.err;
    // Every pixel at 64: nothing below 10 (Black 10.0), nothing above 64 (White 65, at least 200).
    EXPECT_EQ(Printed(result.out, "IDC_VALUE_BLACK"),
              (std::vector<std::string>{" 10.0", " 0.0", " 10.0"}))
        << result.out;
    EXPECT_EQ(Printed(result.out, "IDC_VALUE_WHITE"),
              (std::vector<std::string>{" 200", " 255", " 200"}))
        << result.out;
}

TEST(TamrelReading, TheHistogramEntryDrawsBehindTheCurvesAndTakesThemAwayAgain) {
    const ScratchDir scratch;
    const auto grab = [&](const char* name) { return "; grab " + (scratch / name).string(); };
    const auto result = RunTamrel(
        scratch, Script(apptest::OpenImageSteps(WriteGrey(scratch)) + grab("bare.png") + "; " +
                        apptest::MenuEntrySteps(3) + grab("shown.png") + "; " +
                        apptest::MenuEntrySteps(3) + grab("hidden.png") + "; key Escape"));
    ASSERT_EQ(result.status, 0) << result.err;
    const QImage bare((scratch / "bare.png").c_str());
    const QImage shown((scratch / "shown.png").c_str());
    ASSERT_FALSE(bare.isNull());
    EXPECT_NE(bare, shown);
    EXPECT_EQ(bare, QImage((scratch / "hidden.png").c_str()));
}

// With the histogram on, every newly opened file shows its own counts: the
// window after two opens is the window of a run that opened only the second
// file and then turned the histogram on.
TEST(TamrelReading, TheHistogramFollowsEachNewlyOpenedFile) {
    const ScratchDir scratch;
    const auto second = WriteGrey(scratch, 200);
    const std::string grab = "; grab " + (scratch / "after-two.png").string();
    const auto both =
        RunTamrel(scratch, Script(apptest::MenuEntrySteps(3) + "; " +
                                  apptest::OpenImageSteps(WriteGrey(scratch)) + "; " +
                                  apptest::OpenImageSteps(second) + grab + "; key Escape"));
    ASSERT_EQ(both.status, 0) << both.err;
    const std::string only = "; grab " + (scratch / "only-second.png").string();
    const auto one = RunTamrel(scratch, Script(apptest::OpenImageSteps(second) + "; " +
                                               apptest::MenuEntrySteps(3) + only + "; key Escape"));
    ASSERT_EQ(one.status, 0) << one.err;
    const QImage afterTwo((scratch / "after-two.png").c_str());
    ASSERT_FALSE(afterTwo.isNull());
    EXPECT_EQ(afterTwo, QImage((scratch / "only-second.png").c_str()));
}

constexpr std::uint32_t kPictureWidth = 900;
constexpr std::uint32_t kPictureHeight = 700;

// Files other programs make, for the tests below; skipped where the
// programs are absent.
class TamrelOtherFiles : public testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {"cjpeg", "convert"}) {
            if (!othertest::HasProgram(program)) {
                GTEST_SKIP() << program << " is absent";
            }
        }
        // A ramp across and down, larger than the image area either way up,
        // so that the pointer is over the picture wherever it rests there.
        bmptest::Picture p{kPictureWidth, kPictureHeight, {}};
        for (std::uint32_t y = 0; y < kPictureHeight; ++y) {
            for (std::uint32_t x = 0; x < kPictureWidth; ++x) {
                p.pixels.push_back((x * 255 / (kPictureWidth - 1)) << 16 |
                                   (y * 255 / (kPictureHeight - 1)) << 8 | 90);
            }
        }
        bmptest::WriteFile(In("picture.bmp"), bmptest::EncodeBmp(p));
    }
    std::filesystem::path In(const std::string& name) const { return scratch_ / name; }
    void Make(const std::string& line) const {
        const othertest::ProgramRun run = othertest::RunProgram(line);
        ASSERT_EQ(run.status, 0) << line << "\n" << run.out;
    }
    // The readout over a grid of the image area, the histogram behind the
    // curves, and a picture of the whole window.
    std::string ReadAll(const std::string& grab) const {
        std::string steps = "; " + apptest::MenuEntrySteps(3);
        for (int y = 10; y < 300; y += 37) {
            for (int x = 10; x < 330; x += 41) {
                steps += "; move IDC_IMAGE " + std::to_string(x) + " " + std::to_string(y) +
                         "; print IDC_PIXEL_R; print IDC_PIXEL_G; print IDC_PIXEL_B";
            }
        }
        return steps + "; grab " + In(grab).string();
    }

    ScratchDir scratch_;
};

// A TIFF whose Orientation tag says its rows are turned (6: a quarter turn
// clockwise) shows as the same picture turned in its pixels: the same
// readouts everywhere, histogram and window, after a BMP was open first.
TEST_F(TamrelOtherFiles, ATurnedTiffShowsAsThePictureTurnedInItsPixels) {
    Make("convert '" + In("picture.bmp").string() + "' -orient RightTop '" +
         In("turned.tif").string() + "'");
    Make("convert '" + In("picture.bmp").string() + "' -rotate 90 '" + In("rotated.tif").string() +
         "'");
    const auto turned =
        RunTamrel(scratch_, Script(apptest::OpenImageSteps(WriteGrey(scratch_)) + "; " +
                                   apptest::OpenImageSteps(In("turned.tif")) +
                                   ReadAll("turned.png") + "; key Escape"));
    ASSERT_EQ(turned.status, 0) << turned.err;
    const auto rotated = RunTamrel(scratch_, Script(apptest::OpenImageSteps(In("rotated.tif")) +
                                                    ReadAll("rotated.png") + "; key Escape"));
    ASSERT_EQ(rotated.status, 0) << rotated.err;
    EXPECT_EQ(Printed(turned.out, "IDC_PIXEL_G"), Printed(rotated.out, "IDC_PIXEL_G"));
    EXPECT_EQ(Printed(turned.out, "IDC_PIXEL_R"), Printed(rotated.out, "IDC_PIXEL_R"));
    const std::vector<std::string> green = Printed(turned.out, "IDC_PIXEL_G");
    ASSERT_EQ(green.size(), 64U);
    EXPECT_NE(green.front(), green.back()) << "the ramp reads apart";
    const QImage a(In("turned.png").c_str());
    ASSERT_FALSE(a.isNull());
    EXPECT_EQ(a, QImage(In("rotated.png").c_str()));
}

// A JPEG without its end marker opens with a note after its picture shows;
// a CMYK JPEG then is refused with what to do, and the picture stays.
TEST_F(TamrelOtherFiles, AJpegWithoutItsEndIsOpenedWithANoteAndACmykOneIsRefused) {
    Make("cjpeg -outfile '" + In("whole.jpg").string() + "' '" + In("picture.bmp").string() + "'");
    std::string bytes = ReadBytes(In("whole.jpg"));
    bytes.resize(bytes.size() - 2);
    WriteBytes(In("cut.jpg"), bytes);
    Make("convert '" + In("picture.bmp").string() + "' -colorspace CMYK '" +
         In("cmyk.jpg").string() + "'");
    const std::string read = "; move IDC_IMAGE 100 100; print IDC_PIXEL_R";
    const std::string box = "; print qt_msgbox_label; print qt_msgbox_informativelabel; key Return";
    const auto result =
        RunTamrel(scratch_, Script(apptest::OpenImageSteps(In("cut.jpg")) + box + "; wait 200" +
                                   read + "; " + apptest::OpenImageSteps(In("cmyk.jpg")) + box +
                                   "; wait 200" + read + "; key Escape"));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Printed(result.out, "qt_msgbox_label"),
              (std::vector<std::string>{"画像を開きました。", "ファイルをロードできません。"}));
    EXPECT_EQ(Printed(result.out, "qt_msgbox_informativelabel"),
              (std::vector<std::string>{
                  "cut.jpg: JPEG ファイルに終わりのマーカーがありません。画像は最後まで読めました",
                  "cmyk.jpg: CMYK の JPEG は読めません。ファイルを RGB に変換してください"}));
    const std::vector<std::string> readouts = Printed(result.out, "IDC_PIXEL_R");
    ASSERT_EQ(readouts.size(), 2U);
    EXPECT_NE(readouts[0].find_first_of("0123456789"), std::string::npos) << readouts[0];
    EXPECT_EQ(readouts[0], readouts[1]);
}

// The chart dialog's reference, chosen as a user would: a chart layout and
// a file LittleCMS's own parser crashed on are each refused in Japanese
// naming what they are (and the line), then a measured file is taken.
TEST(TamrelReferences, TheChartDialogNamesWhatAReferenceFileIs) {
    const std::filesystem::path argyll = "/usr/share/color/argyll/ref";
    if (!std::filesystem::exists(argyll)) {
        GTEST_SKIP() << argyll << " is absent";
    }
    const ScratchDir scratch;
    const std::filesystem::path finding =
        std::filesystem::path(TAMREL_SOURCE_DIR) / "fuzz/corpus/cgats/cgats-lcms-bus-1.txt";
    const auto choose = [](const std::filesystem::path& file) {
        return "; await chartDialog 5000; click chartBrowse; wait 300; type " + file.string() +
               "; key Return";
    };
    const std::string refused =
        "; await QMessageBox 5000; print qt_msgbox_label; print qt_msgbox_informativelabel";
    const auto result = RunTamrel(
        scratch,
        Script(apptest::OpenImageSteps(WriteGrey(scratch)) +
               "; key Shift+F10; wait 100; key Up; key Return; await chartDialog 5000; wait 500" +
               choose(argyll / "ColorChecker.cht") + refused + "; key Return; wait 300" +
               choose(finding) + refused + "; key Return; wait 300" +
               choose(argyll / "ColorChecker.cie") +
               "; wait 500; print chartReference; key Escape; wait 300; key Escape"));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(
        Printed(result.out, "qt_msgbox_label"),
        (std::vector<std::string>{"基準ファイルを読めません。", "基準ファイルを読めません。"}));
    EXPECT_EQ(
        Printed(result.out, "qt_msgbox_informativelabel"),
        (std::vector<std::string>{"ColorChecker.cht: チャートのレイアウトで、測定値ではありません。"
                                  "チャートメーカーの測定値ファイルを指定してください",
                                  "cgats-lcms-bus-1.txt: 2 行目を CGATS として読めません"}));
    EXPECT_EQ(Printed(result.out, "chartReference"),
              (std::vector<std::string>{"ColorChecker.cie"}));
}

} // namespace

} // namespace reading_end_to_end_test
