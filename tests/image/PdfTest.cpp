// PDF documents read back by qpdf's own library: every lossless page
// decodes to exactly the samples written, the page size follows the
// resolution, the colour space the profile; a JPEG page holds a JPEG; a
// page that fails leaves the document as it was.
#include "image/formats/FormatTable.h"
#include "io/MemoryWrite.h"
#include "tests/image/JpegLibrary.h"
#include "tests/image/TestProfiles.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <gtest/gtest.h>

#include <string>

namespace pdf_test {

namespace {

struct Page {
    const char* name;
    std::int32_t width;
    std::int32_t height;
    int channels;
    int bits;
    std::optional<Resolution> resolution;
    bool profile;
    double pointsWide; // the page's size: pixels / dpi x 72
    double pointsHigh;
};

// The rows as the PDF writer takes them: 16-bit samples big-endian.
std::vector<std::uint8_t> RowsOf(const Page& page) {
    std::vector<std::uint8_t> rows;
    for (std::int32_t i = 0; i < page.width * page.height * page.channels; ++i) {
        const unsigned v = unsigned(i * 2654435761U) >> 16;
        rows.push_back(static_cast<std::uint8_t>(v));
        if (page.bits == 16) {
            rows.push_back(static_cast<std::uint8_t>(v >> 8));
        }
    }
    return rows;
}

RowProducer AllAtOnce(std::vector<std::uint8_t> rows, std::int32_t height) {
    return [rows = std::move(rows), height](const RowRunSink& sink, bool) mutable -> Reason {
        return sink(0, height, rows.data()) ? Reason() : Reason(ReasonCode::WriteFailed);
    };
}

// Gives the first half of the rows, then stops as a cancelled scan does.
RowProducer CancelledHalfway(std::vector<std::uint8_t> rows, std::int32_t height) {
    return [rows = std::move(rows), height](const RowRunSink& sink, bool) mutable -> Reason {
        sink(0, height / 2, rows.data());
        return Reason(ReasonCode::Cancelled);
    };
}

RowShape ShapeOf(const Page& page) {
    return WriterShape(ImageFormat::Pdf, page.width, page.height, page.channels, page.bits);
}

WriteOptions OptionsOf(const Page& page, const std::vector<std::uint8_t>& profile) {
    WriteOptions options;
    options.Meta.resolution = page.resolution;
    if (page.profile) {
        options.Meta.profile = profile;
    }
    return options;
}

struct Document {
    std::vector<std::uint8_t> bytes;
    QPDF pdf;
    std::vector<QPDFPageObjectHelper> pages;

    explicit Document(const MemoryFile& file) : bytes(file.Bytes()) {
        pdf.processMemoryFile("written", reinterpret_cast<const char*>(bytes.data()), bytes.size());
        pages = QPDFPageDocumentHelper(pdf).getAllPages();
    }
};

QPDFObjectHandle ImageOf(QPDFPageObjectHelper& page) {
    const auto images = page.getImages();
    return images.empty() ? QPDFObjectHandle::newNull() : images.begin()->second;
}

std::vector<std::uint8_t> Decoded(QPDFObjectHandle image, qpdf_stream_decode_level_e level) {
    const std::shared_ptr<Buffer> data = image.getStreamData(level);
    return {data->getBuffer(), data->getBuffer() + data->getSize()};
}

TEST(PdfWriter, LosslessPagesDecodeToTheWrittenSamplesOnPagesSizedByTheirResolution) {
    const Page pages[] = {
        {"8-bit RGB at 150 dpi with a profile", 30, 20, 3, 8, Resolution{150, 150}, true, 14.4,
         9.6},
        {"16-bit grey without a resolution: 300 dpi", 45, 7, 1, 16, std::nullopt, false, 10.8,
         1.68},
        {"16-bit RGB at 72 x 144 dpi", 9, 300, 3, 16, Resolution{72, 144}, false, 9, 150},
    };
    const std::vector<std::uint8_t> profile = profiletest::MatrixTrcProfile(1.8);
    const std::unique_ptr<PageWriter> writer = EntryOf(ImageFormat::Pdf).OpenPages();
    for (const Page& page : pages) {
        ASSERT_FALSE(writer->AddPage(ShapeOf(page), AllAtOnce(RowsOf(page), page.height),
                                     OptionsOf(page, profile)));
        EXPECT_EQ(writer->LastPageAssumedDpi().has_value(), !page.resolution) << page.name;
    }
    MemoryFile file;
    ASSERT_FALSE(writer->Finish([&](const PositionedContents& c) { return file.Replace(c); }));
    Document document(file);
    EXPECT_EQ(document.pdf.getPDFVersion(), "1.5"); // 16-bit samples
    QPDFObjectHandle info = document.pdf.getTrailer().getKey("/Info");
    EXPECT_EQ(info.getKey("/Producer").getUTF8Value().rfind("Tamrel ", 0), 0u);
    EXPECT_EQ(info.getKey("/CreationDate").getUTF8Value().rfind("D:", 0), 0u);
    ASSERT_EQ(document.pages.size(), std::size(pages));
    for (std::size_t i = 0; i < std::size(pages); ++i) {
        const Page& page = pages[i];
        SCOPED_TRACE(page.name);
        const QPDFObjectHandle::Rectangle box =
            document.pages[i].getObjectHandle().getKey("/MediaBox").getArrayAsRectangle();
        EXPECT_NEAR(box.urx - box.llx, page.pointsWide, 1e-3);
        EXPECT_NEAR(box.ury - box.lly, page.pointsHigh, 1e-3);
        QPDFObjectHandle image = ImageOf(document.pages[i]);
        QPDFObjectHandle dict = image.getDict();
        EXPECT_EQ(dict.getKey("/BitsPerComponent").getIntValue(), page.bits);
        QPDFObjectHandle space = dict.getKey("/ColorSpace");
        if (page.profile) {
            ASSERT_TRUE(space.isArray());
            EXPECT_EQ(space.getArrayItem(0).getName(), "/ICCBased");
            EXPECT_EQ(Decoded(space.getArrayItem(1), qpdf_dl_generalized), profile);
        } else {
            EXPECT_EQ(space.getName(), page.channels == 1 ? "/DeviceGray" : "/DeviceRGB");
        }
        EXPECT_EQ(Decoded(image, qpdf_dl_generalized), RowsOf(page));
    }
}

TEST(PdfWriter, JpegPagesHoldJpegsAndAFailedPageLeavesTheDocumentAsItWas) {
    const Page lossless{"lossless", 16, 16, 3, 8, Resolution{100, 100}, false, 11.52, 11.52};
    const Page jpeg{"JPEG from 16 bits", 40, 24, 3, 16, Resolution{100, 100}, false, 28.8, 17.28};
    const std::unique_ptr<PageWriter> writer = EntryOf(ImageFormat::Pdf).OpenPages();
    MemoryFile file;
    const Replacement output = [&](const PositionedContents& c) { return file.Replace(c); };
    EXPECT_EQ(writer->Finish(output).Code, ReasonCode::Unsupported); // no page yet
    ASSERT_FALSE(writer->AddPage(ShapeOf(lossless), AllAtOnce(RowsOf(lossless), 16), {}));
    EXPECT_EQ(writer->AddPage(ShapeOf(jpeg), CancelledHalfway(RowsOf(jpeg), jpeg.height), {}).Code,
              ReasonCode::Cancelled);
    WriteOptions quality;
    quality.Quality = 80;
    quality.Meta.resolution = jpeg.resolution;
    ASSERT_FALSE(writer->AddPage(ShapeOf(jpeg), AllAtOnce(RowsOf(jpeg), jpeg.height), quality));
    ASSERT_FALSE(writer->Finish(output));
    Document document(file);
    ASSERT_EQ(document.pages.size(), 2u);
    EXPECT_EQ(Decoded(ImageOf(document.pages[0]), qpdf_dl_generalized), RowsOf(lossless));
    QPDFObjectHandle image = ImageOf(document.pages[1]);
    EXPECT_EQ(image.getDict().getKey("/Filter").getName(), "/DCTDecode");
    EXPECT_EQ(image.getDict().getKey("/BitsPerComponent").getIntValue(), 8);
    const std::shared_ptr<Buffer> raw = image.getRawStreamData();
    const jpegtest::Decoded decoded =
        jpegtest::Decode({raw->getBuffer(), raw->getBuffer() + raw->getSize()});
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.image.width, jpeg.width);
    EXPECT_EQ(decoded.image.height, jpeg.height);
    EXPECT_EQ(decoded.lumaSampling, 2); // 4:2:0 below quality 90
}

} // namespace

} // namespace pdf_test
