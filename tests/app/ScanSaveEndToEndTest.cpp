// The real program saving a scan from SANE's virtual test device: the file
// dialog's TIFF filters pick the compression, and the scan's resolution is
// written with it.
#include "tests/app/RunTamrel.h"
#include "tests/app/ScanSteps.h"
#include "tests/app/TestDevice.h"
#include "tests/image/LibraryDecode.h"
#include "tests/image/ReadSamples.h"

#include <tiffio.h>

#include <gtest/gtest.h>

#include <fstream>

namespace scan_save_end_to_end_test {

namespace {

using apptest::RunSetup;
using apptest::RunTamrel;

RunSetup WithTestDevice(const ScratchDir& scratch, std::string script) {
    return apptest::WithTestDevice(scratch, "mode Color\n", std::move(script));
}

TEST(TamrelScanSave, TheTiffFilterPicksTheCompressionAndTheResolutionIsKept) {
    struct Case {
        const char* name;
        int downs; // from the first filter (PNM) to the one chosen
        std::uint16_t compression;
    };
    const Case cases[] = {
        {"TIFF", 2, COMPRESSION_NONE},
        {"TIFF, Deflate", 3, COMPRESSION_ADOBE_DEFLATE},
        {"TIFF, LZW", 4, COMPRESSION_LZW},
    };
    for (const Case& c : cases) {
        ScratchDir scratch;
        const std::filesystem::path out = scratch / "scan.tif";
        std::string pick;
        for (int i = 0; i < c.downs; ++i) {
            pick += "key Down; ";
        }
        // The filter first, then the name typed into its field.
        const auto result = RunTamrel(
            scratch, WithTestDevice(scratch, "wait 200; key Shift+F10; key S; wait 500; "
                                             "click scanStart; wait 1500; key Shift+F10; key V; "
                                             "wait 500; click fileTypeCombo; wait 200; " +
                                                 pick +
                                                 "key Return; wait 200; click fileNameEdit; "
                                                 "type " +
                                                 out.string() + "; key Return; wait 500; close"));
        ASSERT_TRUE(result.exited) << result.err;
        EXPECT_EQ(result.status, 0) << c.name;
        ASSERT_TRUE(std::filesystem::exists(out)) << c.name << result.err;
        EXPECT_EQ(decodetest::TiffCompressionOf(out), c.compression) << c.name;
        const std::string bytes = ReadBytes(out);
        const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
        const MemorySource source(data);
        const auto rows = OpenRows(ImageFormat::Tiff, source);
        ASSERT_TRUE(rows) << c.name;
        // Whatever the dialog picked, recorded from the device.
        const std::optional<Resolution> resolution = (*rows)->Meta().resolution;
        ASSERT_TRUE(resolution) << c.name;
        EXPECT_GT(resolution->x, 0) << c.name;
        EXPECT_EQ(resolution->x, resolution->y) << c.name;
    }
}

// A typed .bmp name under the first filter: the 8-bit scan goes through the
// format table to BMP, as `tamrel-cli scan` writes it.
TEST(TamrelScanSave, ABmpNameSavesTheScanAsABmp) {
    ScratchDir scratch;
    const std::filesystem::path out = scratch / "scan.bmp";
    const auto result = RunTamrel(
        scratch, WithTestDevice(scratch, "wait 200; key Shift+F10; key S; wait 500; "
                                         "click scanStart; wait 1500; key Shift+F10; key V; "
                                         "wait 500; click fileNameEdit; type " +
                                             out.string() + "; key Return; wait 500; close"));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    const std::string bytes = ReadBytes(out);
    ASSERT_EQ(bytes.substr(0, 2), "BM") << result.err;
    const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    const MemorySource source(data);
    const auto rows = OpenRows(ImageFormat::Bmp, source);
    ASSERT_TRUE(rows) << rows.Why().Text;
    EXPECT_TRUE((*rows)->Layout().BottomUp);
    EXPECT_TRUE((*rows)->Meta().resolution);
}

// 取り込んだ画像を保存 names the file it wrote in the status line (whole to a
// screen reader), as a batch's end names its pages; the next picture opened
// clears it, and no question about an unsaved scan comes.
TEST(TamrelScanSave, TheSavedFileIsNamedInTheStatusLineUntilTheNextPicture) {
    ScratchDir scratch;
    const std::filesystem::path out = scratch / "scan.pnm";
    const auto result = RunTamrel(
        scratch,
        WithTestDevice(scratch, std::string(apptest::kAcquireSteps) +
                                    "; print IDC_STATUS; key Shift+F10; key V; wait 500; "
                                    "click fileNameEdit; type " +
                                    out.string() +
                                    "; key Return; wait 500; print IDC_STATUS; "
                                    "spoken IDC_STATUS; " +
                                    apptest::OpenImageSteps(out) + "; print IDC_STATUS; close"));
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0);
    const std::vector<std::string> status = apptest::Printed(result.out, "IDC_STATUS");
    ASSERT_EQ(status.size(), 3u) << result.out;
    EXPECT_EQ(status[0], "");
    EXPECT_TRUE(status[1].starts_with("保存しました: ")) << status[1];
    EXPECT_TRUE(status[1].ends_with("scan.pnm")) << status[1];
    EXPECT_EQ(apptest::Printed(result.out, "IDC_STATUS:spoken"),
              std::vector<std::string>{"保存しました: " + out.string()});
    EXPECT_EQ(status[2], "");
    EXPECT_EQ(ReadBytes(out).substr(0, 3), "P6\n");
}

} // namespace

} // namespace scan_save_end_to_end_test
