// A page of samples written as PNM, PNG or TIFF: the bytes netpbm reads, the
// samples the project's own readers give back, and nothing left on failure.
#include "image/SampleOutput.h"
#include "tests/image/ReadSamples.h"

#include "io/MemoryWrite.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace sample_output_test {

namespace {

SampleImage Image(SampleLayout layout, const std::vector<std::uint16_t>& samples) {
    SampleImage image{layout, {}};
    if (layout.depth == kWordDepth) {
        image.bytes.resize(samples.size() * 2);
        std::memcpy(image.bytes.data(), samples.data(), image.bytes.size());
    } else {
        image.bytes.assign(samples.begin(), samples.end());
    }
    return image;
}

struct Written {
    Reason reason;
    std::vector<std::uint8_t> bytes;
};

Written Write(const SampleImage& image, ImageFormat kind) {
    MemoryFile file;
    Written written;
    written.reason = WriteSamples(image.layout, kind, RunsOf(image),
                                  [&](const PositionedContents& c) { return file.Replace(c); });
    written.bytes = file.Bytes();
    return written;
}

std::string Text(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

TEST(SampleOutput, PnmHoldsTheSamplesGreyAsP5And16BitBigEndian) {
    struct Case {
        const char* name;
        SampleImage image;
        std::string expected;
    };
    const Case cases[] = {
        {"rgb 8", Image({2, 1, kRgbChannels, kByteDepth}, {1, 2, 3, 4, 5, 6}),
         std::string("P6\n2 1\n255\n\x01\x02\x03\x04\x05\x06", 17)},
        {"grey 8 two rows", Image({1, 2, kGreyChannels, kByteDepth}, {7, 8}),
         std::string("P5\n1 2\n255\n\x07\x08", 13)},
        {"rgb 16", Image({1, 1, kRgbChannels, kWordDepth}, {0x0102, 0xFFFE, 0x00FF}),
         std::string("P6\n1 1\n65535\n\x01\x02\xFF\xFE\x00\xFF", 19)},
        {"grey 16", Image({2, 1, kGreyChannels, kWordDepth}, {0x1234, 0xABCD}),
         std::string("P5\n2 1\n65535\n\x12\x34\xAB\xCD", 17)},
    };
    for (const Case& c : cases) {
        const Written written = Write(c.image, ImageFormat::Pnm);
        EXPECT_FALSE(written.reason) << c.name;
        EXPECT_EQ(Text(written.bytes), c.expected) << c.name;
    }
}

TEST(SampleOutput, PngAndTiffReadBackAsTheSamplesGreyKeptGrey) {
    // Enough rows for several copied runs of the page.
    constexpr std::int32_t kWidth = 300;
    constexpr std::int32_t kHeight = 700;
    for (const int depth : {kByteDepth, kWordDepth}) {
        for (const int channels : {kGreyChannels, kRgbChannels}) {
            std::vector<std::uint16_t> samples;
            const int top = depth == kWordDepth ? 65535 : 255;
            for (std::int32_t i = 0; i < kWidth * kHeight * channels; ++i) {
                samples.push_back(static_cast<std::uint16_t>((std::int64_t{i} * 7919) % (top + 1)));
            }
            const SampleImage image = Image({kWidth, kHeight, channels, depth}, samples);
            const std::vector<std::uint16_t>& expected = samples;
            for (const auto& [kind, read] : {std::pair{ImageFormat::Png, ImageFormat::Png},
                                             std::pair{ImageFormat::Tiff, ImageFormat::Tiff}}) {
                const std::string name = (kind == ImageFormat::Png ? "png " : "tiff ") +
                                         std::to_string(channels) + "x" + std::to_string(depth);
                const Written written = Write(image, kind);
                ASSERT_FALSE(written.reason) << name << ": " << written.reason.Text;
                RowLayout layout;
                const std::vector<std::uint16_t> back =
                    scantest::ReadSamples(read, written.bytes, layout);
                EXPECT_EQ(layout.Format.Samples, channels) << name;
                EXPECT_EQ(layout.Format.BitsPerSample, depth) << name;
                EXPECT_TRUE(back == expected) << name;
            }
        }
    }
}

TEST(SampleOutput, BmpHoldsAnEightBitPageBottomUpAsBgrWithZeroPadding) {
    const std::string header(54, '\0');
    struct Case {
        const char* name;
        SampleImage image;
        std::string rows; // bottom row first
    };
    const Case cases[] = {
        {"rgb, 3 wide",
         Image({3, 2, kRgbChannels, kByteDepth}, {1, 2, 3, 4, 5, 6, 7, 8, 9, //
                                                  10, 11, 12, 13, 14, 15, 16, 17, 18}),
         std::string("\x0C\x0B\x0A\x0F\x0E\x0D\x12\x11\x10\0\0\0"
                     "\x03\x02\x01\x06\x05\x04\x09\x08\x07\0\0\0",
                     24)},
        {"grey, 2 wide", Image({2, 2, kGreyChannels, kByteDepth}, {1, 2, 3, 4}),
         std::string("\x03\x03\x03\x04\x04\x04\0\0\x01\x01\x01\x02\x02\x02\0\0", 16)},
    };
    for (const Case& c : cases) {
        const Written written = Write(c.image, ImageFormat::Bmp);
        ASSERT_FALSE(written.reason) << c.name << ": " << written.reason.Text;
        ASSERT_EQ(written.bytes.size(), header.size() + c.rows.size()) << c.name;
        EXPECT_EQ(Text(written.bytes).substr(0, 2), "BM") << c.name;
        EXPECT_EQ(Text(written.bytes).substr(header.size()), c.rows) << c.name;
    }
}

TEST(SampleOutput, AFailedScanOrA16BitBmpLeavesNoFile) {
    const SampleLayout layout{4, 4, kRgbChannels, kByteDepth};
    for (const ImageFormat kind :
         {ImageFormat::Bmp, ImageFormat::Pnm, ImageFormat::Png, ImageFormat::Tiff}) {
        MemoryFile file;
        const Reason reason = WriteSamples(
            layout, kind, [](const SampleRunSink&) { return Reason(ReasonCode::Cancelled); },
            [&](const PositionedContents& c) { return file.Replace(c); });
        EXPECT_EQ(reason.Code, ReasonCode::Cancelled);
        EXPECT_TRUE(file.Bytes().empty());
    }
    const SampleLayout wide{4, 4, kRgbChannels, kWordDepth};
    const Written written = Write(Image(wide, std::vector<std::uint16_t>(48)), ImageFormat::Bmp);
    EXPECT_EQ(written.reason.Code, ReasonCode::Unsupported);
    EXPECT_TRUE(written.bytes.empty());
}

TEST(FormatTable, TheExtensionPicksTheFormat) {
    const std::pair<const char*, std::optional<ImageFormat>> cases[] = {
        {"a.pnm", ImageFormat::Pnm}, {"a.PPM", ImageFormat::Pnm},   {"a.pgm", ImageFormat::Pnm},
        {"a.png", ImageFormat::Png}, {"a.tif", ImageFormat::Tiff},  {"a.TIFF", ImageFormat::Tiff},
        {"a.bmp", ImageFormat::Bmp}, {"a.JPeG", ImageFormat::Jpeg}, {"a.pdf", ImageFormat::Pdf},
        {"a.gif", std::nullopt},     {"a", std::nullopt},
    };
    for (const auto& [name, kind] : cases) {
        EXPECT_EQ(FormatOfName(name), kind) << name;
    }
    // Outputs that are always colour take no grey name, and say which they take.
    EXPECT_EQ(FormatOfName("a.pgm", NameUse::ColourOnly), std::nullopt);
    EXPECT_EQ(FormatOfName("a.ppm", NameUse::ColourOnly), ImageFormat::Pnm);
    EXPECT_EQ(NameList(NameUse::ColourOnly),
              ".bmp, .pnm, .ppm, .png, .tif, .tiff, .jpg, .jpeg or .pdf");
    EXPECT_EQ(ReadFormatOf("scan.gif"), ImageFormat::Bmp); // every unknown name is read as BMP
}

TEST(FormatTable, EachWriterTakesOnlyWhatItsFormatHolds) {
    struct Case {
        ImageFormat format;
        std::int32_t channels;
        std::int32_t bits;
        std::int64_t rowBytes; // of a 5-pixel row
    };
    const Case cases[] = {
        {ImageFormat::Bmp, 1, 16, 16},  // BGR 8 bits, 15 bytes padded to 16
        {ImageFormat::Pnm, 1, 16, 10},  // grey kept, 16 bits kept
        {ImageFormat::Png, 1, 8, 5},    // grey kept
        {ImageFormat::Png, 3, 8, 15},   // RGB
        {ImageFormat::Tiff, 3, 16, 30}, // RGB 16
    };
    for (const Case& c : cases) {
        const RowShape shape = WriterShape(c.format, 5, 2, c.channels, c.bits);
        EXPECT_EQ(shape.RowBytes(), c.rowBytes) << EntryOf(c.format).Label;
        EXPECT_EQ(shape.BottomUp, c.format == ImageFormat::Bmp) << EntryOf(c.format).Label;
    }
}

} // namespace

} // namespace sample_output_test
