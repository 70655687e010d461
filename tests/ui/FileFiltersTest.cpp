// The scan save dialog's filters in the window's words, one per format that
// holds a 16-bit scan and one more per compression of TIFF; and what the
// answer writes: a known extension decides, else the chosen filter does.
#include "ui/FileFilters.h"

#include <gtest/gtest.h>

namespace file_filters_test {

namespace {

TEST(FileFilters, TheScanSaveDialogNamesEachFormatInTheWindowsWords) {
    EXPECT_EQ(ScanSaveFilter().toStdString(),
              "PNM 画像 (*.pnm *.ppm *.pgm)|*.pnm;*.ppm;*.pgm|"
              "PNG 画像 (*.png)|*.png|"
              "TIFF 画像 (*.tif *.tiff)|*.tif;*.tiff|"
              "TIFF 画像（Deflate 圧縮） (*.tif *.tiff)|*.tif;*.tiff|"
              "TIFF 画像（LZW 圧縮） (*.tif *.tiff)|*.tif;*.tiff|"
              "JPEG 画像 (*.jpg *.jpeg)|*.jpg;*.jpeg|"
              "PDF 文書 (*.pdf)|*.pdf||");
}

// The filters by their place in the dialog.
constexpr int kPnm = 0;
constexpr int kTiffDeflate = 3;
constexpr int kTiffLzw = 4;
constexpr int kPdf = 6;

TEST(FileFilters, AKnownExtensionDecidesAndTheFilterNamesTheRest) {
    const struct {
        const char* picked;
        int filter;
        const char* written;
        ImageFormat format;
        TiffCompression compression;
    } cases[] = {
        {"big2", kTiffDeflate, "big2.tif", ImageFormat::Tiff, TiffCompression::Deflate},
        {"page.png", kPdf, "page.png", ImageFormat::Png, TiffCompression::None},
        {"scan.TIFF", kTiffLzw, "scan.TIFF", ImageFormat::Tiff, TiffCompression::Lzw},
        {"scan.tif", kPnm, "scan.tif", ImageFormat::Tiff, TiffCompression::None},
        {"notes.txt", kPdf, "notes.txt.pdf", ImageFormat::Pdf, TiffCompression::None},
        {"x", -1, "x.pnm", ImageFormat::Pnm, TiffCompression::None},
        {"x", 99, "x.pnm", ImageFormat::Pnm, TiffCompression::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.picked) + " with filter " + std::to_string(c.filter));
        const SaveTarget target = ScanSaveTarget(c.picked, c.filter);
        EXPECT_EQ(target.path, std::filesystem::path(c.written));
        EXPECT_EQ(target.format, c.format);
        EXPECT_EQ(target.compression, c.compression);
    }
}

} // namespace

} // namespace file_filters_test
