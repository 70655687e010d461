// PDF documents read back by qpdf's library (its C interface, which every
// compiler here takes as C++20): every lossless page
// decodes to exactly the samples written, the page size follows the
// resolution, the colour space the profile; a JPEG page holds a JPEG; a
// page that fails leaves the document as it was.
#include "image/formats/FormatTable.h"
#include "io/MemoryWrite.h"
#include "tests/image/JpegLibrary.h"
#include "tests/image/TestProfiles.h"
#include "tests/support/SourceDateEpoch.h"

#include <qpdf/qpdf-c.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>

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
    return [rows = std::move(rows), height](const RowRunSink& sink,
                                            const RunRequest&) mutable -> Reason {
        return sink(0, height, rows.data()) ? Reason() : Reason(ReasonCode::WriteFailed);
    };
}

// Gives the first half of the rows, then stops as a cancelled scan does.
RowProducer CancelledHalfway(std::vector<std::uint8_t> rows, std::int32_t height) {
    return [rows = std::move(rows), height](const RowRunSink& sink,
                                            const RunRequest&) mutable -> Reason {
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

// A written document opened by qpdf; objects are looked up by key paths.
class Document {
public:
    explicit Document(const MemoryFile& file) : bytes_(file.Bytes()), pdf_(qpdf_init()) {
        opened_ = qpdf_read_memory(pdf_, "written", reinterpret_cast<const char*>(bytes_.data()),
                                   bytes_.size(), nullptr) == QPDF_SUCCESS;
    }
    ~Document() { qpdf_cleanup(&pdf_); }
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    bool Opened() const { return opened_; }
    std::string Version() { return qpdf_get_pdf_version(pdf_); }
    std::string Info(const char* key) {
        const char* value = qpdf_get_info_key(pdf_, key);
        return value != nullptr ? value : "";
    }
    std::size_t Pages() { return std::size_t(qpdf_get_num_pages(pdf_)); }
    qpdf_oh Page(std::size_t n) { return qpdf_get_page_n(pdf_, n); }
    qpdf_oh Image(std::size_t n) {
        return Key(Key(Key(Page(n), "/Resources"), "/XObject"), "/Im0");
    }
    qpdf_oh Key(qpdf_oh object, const char* key) { return qpdf_oh_get_key(pdf_, object, key); }
    qpdf_oh Item(qpdf_oh array, int n) { return qpdf_oh_get_array_item(pdf_, array, n); }
    qpdf_oh Dict(qpdf_oh stream) { return qpdf_oh_get_dict(pdf_, stream); }
    int Id(qpdf_oh object) { return qpdf_oh_get_object_id(pdf_, object); }
    bool Has(qpdf_oh dict, const char* key) { return qpdf_oh_has_key(pdf_, dict, key) != 0; }
    double Number(qpdf_oh object) { return qpdf_oh_get_numeric_value(pdf_, object); }
    std::string Name(qpdf_oh object) {
        return qpdf_oh_is_name(pdf_, object) ? qpdf_oh_get_name(pdf_, object) : "";
    }
    bool IsArray(qpdf_oh object) { return qpdf_oh_is_array(pdf_, object) != QPDF_FALSE; }
    // The stream's data with its filters decoded up to `level` (none: as stored).
    std::vector<std::uint8_t> Data(qpdf_oh stream, qpdf_stream_decode_level_e level) {
        unsigned char* data = nullptr;
        std::size_t size = 0;
        qpdf_oh_get_stream_data(pdf_, stream, level, nullptr, &data, &size);
        std::vector<std::uint8_t> bytes(data, data + size);
        std::free(data);
        return bytes;
    }

private:
    std::vector<std::uint8_t> bytes_;
    qpdf_data pdf_;
    bool opened_ = false;
};

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
    Document pdf(file);
    ASSERT_TRUE(pdf.Opened());
    EXPECT_EQ(pdf.Version(), "1.5"); // 16-bit samples
    EXPECT_EQ(pdf.Info("/Producer").rfind("Tamrel ", 0), 0u);
    EXPECT_EQ(pdf.Info("/CreationDate").rfind("D:", 0), 0u);
    ASSERT_EQ(pdf.Pages(), std::size(pages));
    for (std::size_t i = 0; i < std::size(pages); ++i) {
        const Page& page = pages[i];
        SCOPED_TRACE(page.name);
        const qpdf_oh box = pdf.Key(pdf.Page(i), "/MediaBox");
        EXPECT_NEAR(pdf.Number(pdf.Item(box, 2)) - pdf.Number(pdf.Item(box, 0)), page.pointsWide,
                    1e-3);
        EXPECT_NEAR(pdf.Number(pdf.Item(box, 3)) - pdf.Number(pdf.Item(box, 1)), page.pointsHigh,
                    1e-3);
        const qpdf_oh image = pdf.Image(i);
        const qpdf_oh dict = pdf.Dict(image);
        EXPECT_EQ(pdf.Number(pdf.Key(dict, "/BitsPerComponent")), page.bits);
        const qpdf_oh space = pdf.Key(dict, "/ColorSpace");
        if (page.profile) {
            ASSERT_TRUE(pdf.IsArray(space));
            EXPECT_EQ(pdf.Name(pdf.Item(space, 0)), "/ICCBased");
            EXPECT_EQ(pdf.Data(pdf.Item(space, 1), qpdf_dl_generalized), profile);
        } else {
            EXPECT_EQ(pdf.Name(space), page.channels == 1 ? "/DeviceGray" : "/DeviceRGB");
        }
        EXPECT_EQ(pdf.Data(image, qpdf_dl_generalized), RowsOf(page));
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
    Document pdf(file);
    ASSERT_TRUE(pdf.Opened());
    ASSERT_EQ(pdf.Pages(), 2u);
    EXPECT_EQ(pdf.Data(pdf.Image(0), qpdf_dl_generalized), RowsOf(lossless));
    const qpdf_oh image = pdf.Image(1);
    EXPECT_EQ(pdf.Name(pdf.Key(pdf.Dict(image), "/Filter")), "/DCTDecode");
    EXPECT_EQ(pdf.Number(pdf.Key(pdf.Dict(image), "/BitsPerComponent")), 8);
    const jpegtest::Decoded decoded = jpegtest::Decode(pdf.Data(image, qpdf_dl_none));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.image.width, jpeg.width);
    EXPECT_EQ(decoded.image.height, jpeg.height);
    EXPECT_EQ(decoded.lumaSampling, 2); // 4:2:0 below quality 90
}

// With SOURCE_DATE_EPOCH the file carries that time, in UTC, and the same
// pages written again, some time later, are the same bytes.
TEST(PdfWriter, AFixedTimeMakesTheSameBytesEveryTime) {
    const SourceDateEpoch epoch("86400");
    const Page page{"8-bit RGB", 12, 8, 3, 8, Resolution{150, 150}, true, 5.76, 3.84};
    const std::vector<std::uint8_t> profile = profiletest::MatrixTrcProfile(1.8);
    const auto write = [&] {
        const std::unique_ptr<PageWriter> writer = EntryOf(ImageFormat::Pdf).OpenPages();
        EXPECT_FALSE(writer->AddPage(ShapeOf(page), AllAtOnce(RowsOf(page), page.height),
                                     OptionsOf(page, profile)));
        MemoryFile file;
        EXPECT_FALSE(writer->Finish([&](const PositionedContents& c) { return file.Replace(c); }));
        return file;
    };
    const MemoryFile first = write();
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    const MemoryFile second = write();
    EXPECT_EQ(first.Bytes(), second.Bytes());
    Document pdf(first);
    ASSERT_TRUE(pdf.Opened());
    EXPECT_EQ(pdf.Info("/CreationDate"), "D:19700102000000Z");
}

TEST(PdfWriter, PagesOfOneProfileShareItsStreamAndAHugePageCountsInWholePoints) {
    // 1 dpi: 1600 pixels are 115,200 points, eight times the 14,400 a side
    // may have, so a unit of 8 points brings the page within.
    const Page pages[] = {
        {"grey with the profile", 20, 10, 1, 8, Resolution{100, 100}, true, 14.4, 7.2},
        {"at 1 dpi", 1600, 3, 1, 8, Resolution{1, 1}, true, 14400, 27},
        {"again with the profile", 30, 10, 1, 16, Resolution{100, 100}, true, 21.6, 7.2},
        {"without", 5, 5, 1, 8, Resolution{100, 100}, false, 3.6, 3.6},
    };
    const std::vector<std::uint8_t> profile = profiletest::GreyProfile(2.2);
    const std::unique_ptr<PageWriter> writer = EntryOf(ImageFormat::Pdf).OpenPages();
    for (const Page& page : pages) {
        ASSERT_FALSE(writer->AddPage(ShapeOf(page), AllAtOnce(RowsOf(page), page.height),
                                     OptionsOf(page, profile)));
    }
    MemoryFile file;
    ASSERT_FALSE(writer->Finish([&](const PositionedContents& c) { return file.Replace(c); }));
    Document pdf(file);
    ASSERT_TRUE(pdf.Opened());
    EXPECT_EQ(pdf.Version(), "1.6"); // UserUnit
    std::set<int> profiles;
    for (std::size_t i = 0; i < std::size(pages); ++i) {
        SCOPED_TRACE(pages[i].name);
        const qpdf_oh space = pdf.Key(pdf.Dict(pdf.Image(i)), "/ColorSpace");
        if (pages[i].profile) {
            profiles.insert(pdf.Id(pdf.Item(space, 1)));
        }
        const qpdf_oh box = pdf.Key(pdf.Page(i), "/MediaBox");
        EXPECT_NEAR(pdf.Number(pdf.Item(box, 2)), pages[i].pointsWide, 1e-3);
        EXPECT_NEAR(pdf.Number(pdf.Item(box, 3)), pages[i].pointsHigh, 1e-3);
        const bool huge = pages[i].resolution->x == 1;
        EXPECT_EQ(pdf.Has(pdf.Page(i), "/UserUnit"), huge);
        if (huge) {
            EXPECT_EQ(pdf.Number(pdf.Key(pdf.Page(i), "/UserUnit")), 8);
        }
        EXPECT_EQ(pdf.Data(pdf.Image(i), qpdf_dl_generalized), RowsOf(pages[i]));
    }
    EXPECT_EQ(profiles.size(), 1u) << "one ICC stream for every page of the profile";
}

} // namespace

} // namespace pdf_test
