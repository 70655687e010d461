// The real program saving scans of SANE's virtual test device as JPEG and
// PDF through its save dialog, the files read by other programs (djpeg,
// qpdf, poppler's pdfimages); and the dialog's chosen filter deciding the
// format of a name typed without an extension.
#include "tests/app/RunTamrel.h"
#include "tests/app/ScanSteps.h"
#include "tests/app/TestDevice.h"
#include "tests/image/LibraryDecode.h"
#include "tests/support/OtherProgram.h"

#include <tiffio.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <sstream>

namespace scan_formats_end_to_end_test {

namespace {

using apptest::RunTamrel;
using othertest::RunProgram;
namespace fs = std::filesystem;

// The save dialog's filters: PNM, PNG, TIFF, TIFF Deflate, TIFF LZW, JPEG, PDF.
constexpr int kPng = 1;
constexpr int kDeflate = 3;
constexpr int kJpeg = 5;
constexpr int kPdf = 6;

// The filter `downs` below the first, then the name typed into its field.
std::string SaveDialogSteps(int downs, const fs::path& typed) {
    std::string steps = "click fileTypeCombo; wait 200";
    for (int i = 0; i < downs; ++i) {
        steps += "; key Down";
    }
    return steps + "; key Return; wait 200; click fileNameEdit; type " + typed.string() +
           "; key Return";
}

// 取り込む, then 取り込んだ画像を保存... into the dialog's choice; then `more`.
std::string AcquireAndSave(int downs, const fs::path& typed, const std::string& more = "") {
    return std::string("wait 200; ") + apptest::kAcquireSteps +
           "; key Shift+F10; key V; wait 500; " + SaveDialogSteps(downs, typed) + "; wait 800" +
           more + "; close";
}

apptest::RunSetup WithTestDevice(const ScratchDir& scratch, std::string script) {
    return apptest::WithTestDevice(scratch, "mode Color\n", std::move(script));
}

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

TEST(TamrelScanFormats, AScanSavesAsJpegAndAFeederBatchAsOnePdf) {
    {
        ScratchDir scratch;
        const auto result =
            RunTamrel(scratch, WithTestDevice(scratch, AcquireAndSave(kJpeg, scratch / "scan")));
        ASSERT_TRUE(result.exited) << result.err;
        EXPECT_EQ(result.status, 0);
        const auto verbose =
            RunProgram("djpeg -verbose -outfile /dev/null " + Quoted(scratch / "scan.jpg"));
        EXPECT_EQ(verbose.status, 0) << verbose.out << result.err;
        // The scan's resolution, as dots per inch (unit 1), whatever the dialog chose.
        const std::size_t at = verbose.out.find("density ");
        ASSERT_NE(at, std::string::npos) << verbose.out;
        int x = 0;
        int y = 0;
        int unit = 0;
        EXPECT_EQ(std::sscanf(verbose.out.c_str() + at, "density %dx%d %d", &x, &y, &unit), 3);
        EXPECT_GT(x, 0);
        EXPECT_EQ(x, y);
        EXPECT_EQ(unit, 1);
        EXPECT_NE(verbose.out.find("Component 1: 1hx1v"), std::string::npos); // quality 92
    }
    {
        // 「テーブルでスキャン...」 from the feeder, which holds ten pages.
        ScratchDir scratch;
        const fs::path pdf = scratch / "doc.pdf";
        const auto result = RunTamrel(
            scratch,
            WithTestDevice(scratch, "wait 200; key Shift+F10; key T; wait 500; click scanSource; "
                                    "wait 200; key Down; key Return; wait 300; click scanStart; "
                                    "wait 500; " +
                                        SaveDialogSteps(kPdf, scratch / "doc") +
                                        "; await qt_msgbox_label 30000; wait 200; print "
                                        "qt_msgbox_label; key Return; wait "
                                        "200; close"));
        ASSERT_TRUE(result.exited) << result.err;
        EXPECT_EQ(result.status, 0);
        EXPECT_NE(result.out.find("qt_msgbox_label=10 ページをスキャンしました。"),
                  std::string::npos)
            << result.out;
        EXPECT_EQ(RunProgram("qpdf --check " + Quoted(pdf)).status, 0);
        const std::vector<std::string> pages =
            othertest::ImageLines(RunProgram("pdfimages -list " + Quoted(pdf)).out);
        ASSERT_EQ(pages.size(), 10u);
        std::istringstream fields(pages.back());
        std::vector<std::string> field{std::istream_iterator<std::string>(fields), {}};
        ASSERT_GE(field.size(), 14u);
        EXPECT_EQ(field[5], "rgb");
        EXPECT_GT(std::stoi(field[12]), 0); // the scan's resolution, as ppi
        EXPECT_EQ(field[12], field[13]);
    }
}

TEST(TamrelScanFormats, TheChosenFilterDecidesForANameTypedWithoutAnExtension) {
    struct Case {
        const char* name;
        int downs;
        const char* typed;
        const char* written;
        const char* magic; // the file's first bytes
    };
    const Case cases[] = {
        {"TIFF, Deflate and no extension", kDeflate, "big2", "big2.tif", "II*"},
        {"PDF chosen, a .png typed", kPdf, "page.png", "page.png", "\x89PNG"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir scratch;
        const auto result =
            RunTamrel(scratch, WithTestDevice(scratch, AcquireAndSave(c.downs, scratch / c.typed)));
        ASSERT_TRUE(result.exited) << result.err;
        EXPECT_EQ(result.status, 0);
        const fs::path written = scratch / c.written;
        EXPECT_EQ(ReadBytes(written).rfind(c.magic, 0), 0u) << result.err;
        if (c.downs == kDeflate) {
            EXPECT_EQ(decodetest::TiffCompressionOf(written), COMPRESSION_ADOBE_DEFLATE);
        }
        EXPECT_FALSE(fs::exists(scratch / (std::string(c.typed) + ".pdf")));
    }
}

// グレー picked in the scan dialog, then 取り込む and the save dialog.
std::string AcquireGreyAndSave(int downs, const fs::path& typed) {
    return "wait 200; key Shift+F10; key S; wait 500; click scanMode; wait 200; key End; "
           "key Return; wait 200; click scanStart; wait 1500; key Shift+F10; key V; wait 500; " +
           SaveDialogSteps(downs, typed) + "; wait 800; close";
}

// A grey scan of the device (its grid) saved as PNG and as PDF stays grey:
// PNG colour type 0 (the IHDR byte after width, height and bit depth), a
// one-component PDF image.
TEST(TamrelScanFormats, AGreyScanIsSavedGrey) {
    constexpr std::size_t kColourTypeAt = 25;
    {
        ScratchDir scratch;
        const auto result =
            RunTamrel(scratch, apptest::WithTestDevice(scratch, "mode Gray\ntest-picture Grid\n",
                                                       AcquireGreyAndSave(kPng, scratch / "grey")));
        ASSERT_TRUE(result.exited) << result.err;
        EXPECT_EQ(result.status, 0);
        const std::string png = ReadBytes(scratch / "grey.png");
        ASSERT_GT(png.size(), kColourTypeAt) << result.err;
        EXPECT_EQ(png[kColourTypeAt], '\0') << "colour type 0: grey";
        const auto identify =
            RunProgram("identify -format %[colorspace] " + Quoted(scratch / "grey.png"));
        EXPECT_EQ(identify.out, "Gray");
    }
    {
        ScratchDir scratch;
        const auto result =
            RunTamrel(scratch, apptest::WithTestDevice(scratch, "mode Gray\ntest-picture Grid\n",
                                                       AcquireGreyAndSave(kPdf, scratch / "grey")));
        ASSERT_TRUE(result.exited) << result.err;
        const fs::path pdf = scratch / "grey.pdf";
        EXPECT_EQ(RunProgram("qpdf --check " + Quoted(pdf)).status, 0);
        const std::vector<std::string> pages =
            othertest::ImageLines(RunProgram("pdfimages -list " + Quoted(pdf)).out);
        ASSERT_EQ(pages.size(), 1u);
        std::istringstream fields(pages.front());
        std::vector<std::string> field{std::istream_iterator<std::string>(fields), {}};
        ASSERT_GE(field.size(), 14u);
        EXPECT_EQ(field[5], "gray");
        EXPECT_EQ(field[6], "1");
    }
}

} // namespace

} // namespace scan_formats_end_to_end_test
