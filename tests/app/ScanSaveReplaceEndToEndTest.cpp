// The real program saving a scan over a file that is there: the question
// comes once, from the file dialog, for the name it was given; a name that
// the save turns into another (an extension added) is asked about by the
// window itself, and a refusal keeps the old file.
#include "tests/app/RunTamrel.h"
#include "tests/app/TestDevice.h"

#include <gtest/gtest.h>

namespace scan_save_replace_end_to_end_test {

namespace {

using apptest::RunTamrel;

constexpr const char* kQuestion = "qt_msgbox_label=既存ファイルを上書きしますか？";

// A scan taken in, then its save dialog with the filter `downs` below the
// first (PNM) and `name` typed; `then` follows once the dialog has closed,
// and the window is closed.
std::string SaveSteps(int downs, const std::string& name, const std::string& then) {
    std::string steps = "wait 200; key Shift+F10; key S; wait 500; click scanStart; wait 1500; "
                        "key Shift+F10; key V; wait 500; click fileTypeCombo; wait 200; ";
    for (int i = 0; i < downs; ++i) {
        steps += "key Down; ";
    }
    return steps + "key Return; wait 200; click fileNameEdit; type " + name + "; key Return; " +
           then + "; wait 300; close; wait 300";
}

constexpr int kTiff = 2;
constexpr int kPdf = 6;

// The file dialog asks about scan.tif itself (はい); the window knows that
// name was asked about and does not ask again.
TEST(TamrelScanSaveReplace, TheDialogsQuestionAboutTheNameIsTheOnlyOne) {
    ScratchDir scratch;
    const std::filesystem::path out = scratch / "scan.tif";
    WriteBytes(out, "old");
    const auto result =
        RunTamrel(scratch, apptest::WithTestDevice(scratch, "mode Color\n",
                                                   SaveSteps(kTiff, out.string(),
                                                             "wait 300; key Alt+Y; wait 1500; "
                                                             "print qt_msgbox_label")));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.find(kQuestion), std::string::npos) << result.out;
    EXPECT_EQ(ReadBytes(out).substr(0, 2), "II") << "a little-endian TIFF in its place";
}

// notes.txt under the PDF filter is saved as notes.txt.pdf, which is there:
// the window asks, and キャンセル keeps it as it was.
TEST(TamrelScanSaveReplace, ANameTheSaveExtendsIsAskedAboutAndCancelKeepsTheFile) {
    ScratchDir scratch;
    WriteBytes(scratch / "notes.txt.pdf", "old");
    // The scan is still not saved: closing asks to discard it (はい).
    const std::string steps = SaveSteps(kPdf, (scratch / "notes.txt").string(),
                                        "wait 800; print qt_msgbox_label; key Escape; wait 500") +
                              "; key Alt+Y";
    const auto result = RunTamrel(scratch, apptest::WithTestDevice(scratch, "mode Color\n", steps));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find(kQuestion), std::string::npos) << result.out;
    EXPECT_EQ(ReadBytes(scratch / "notes.txt.pdf"), "old");
    EXPECT_FALSE(std::filesystem::exists(scratch / "notes.txt"));
}

} // namespace

} // namespace scan_save_replace_end_to_end_test
