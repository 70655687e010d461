// A scanned page becomes the window's image by the road a file takes: the
// same pixels and the same level counts as the page written to a file and
// opened, for grey and colour, 8 and 16 bits.
#include "image/CountLevels.h"
#include "image/ReadImage.h"
#include "image/SampleOutput.h"
#include "image/rows/MemoryRows.h"
#include "io/AtomicWrite.h"
#include "tests/io/ScratchDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace scan_page_image_test {

namespace {

SampleImage Page(std::int32_t width, std::int32_t height, int channels, int depth) {
    SampleImage page{{width, height, channels, depth}, {}};
    page.bytes.resize(page.layout.RowBytes() * static_cast<std::size_t>(height));
    std::mt19937 random(static_cast<unsigned>(width * 31 + channels * 7 + depth));
    for (std::uint8_t& byte : page.bytes) {
        byte = static_cast<std::uint8_t>(random());
    }
    return page;
}

std::vector<std::uint8_t> Pixels(const DecodedImage& image) {
    const ImageBuffer& view = image.View();
    return {view.Pixels,
            view.Pixels + std::size_t(view.Width) * std::size_t(view.Height) * kImageBytesPerPixel};
}

TEST(ScanPageImage, APageGivesThePixelsAndLevelsOfTheSameSamplesOpenedAsAFile) {
    struct Case {
        const char* name;
        SampleImage page;
    };
    const Case cases[] = {
        {"grey 8", Page(37, 5, kGreyChannels, kByteDepth)},
        {"colour 8", Page(41, 9, kRgbChannels, kByteDepth)},
        {"grey 16", Page(23, 7, kGreyChannels, kWordDepth)},
        {"colour 16", Page(129, 65, kRgbChannels, kWordDepth)},
    };
    const ScratchDir scratch;
    for (const Case& c : cases) {
        const std::filesystem::path file =
            scratch / (c.page.layout.channels == kGreyChannels ? "page.pgm" : "page.ppm");
        ASSERT_FALSE(WriteSamples(c.page.layout, ImageFormat::Pnm, RunsOf(c.page),
                                  [&](const PositionedContents& contents) {
                                      return WriteFileAtomically(file, contents);
                                  }))
            << c.name;
        const Outcome<DecodedImage> opened = ReadImageFile(file);
        const Outcome<DecodedImage> scanned = DecodeRows(RowsOf(c.page));
        ASSERT_TRUE(opened && scanned) << c.name;
        EXPECT_EQ(scanned->View().Width, c.page.layout.width) << c.name;
        EXPECT_EQ(scanned->View().Height, c.page.layout.height) << c.name;
        EXPECT_EQ(scanned->View().TopDown, opened->View().TopDown) << c.name;
        EXPECT_EQ(Pixels(*scanned), Pixels(*opened)) << c.name;
        const LevelHistogram pageLevels = CountKeptLevels(scanned->View());
        EXPECT_EQ(pageLevels, CountKeptLevels(opened->View())) << c.name;
        EXPECT_EQ(pageLevels.Pixels(), std::uint64_t(c.page.layout.width) * c.page.layout.height)
            << c.name;
    }
}

TEST(ScanPageImage, SixteenBitSamplesGoToTheNearestLevelOnEveryChannel) {
    // (v * 255 + 32767) / 65535: 128 and 129 are the nearest levels to 32896 -+ 1.
    const std::uint16_t words[] = {0, 128, 129, 32767, 32896, 65535};
    SampleImage grey{{6, 1, kGreyChannels, kWordDepth}, std::vector<std::uint8_t>(sizeof words)};
    std::memcpy(grey.bytes.data(), words, sizeof words);
    const Outcome<DecodedImage> image = DecodeRows(RowsOf(grey));
    ASSERT_TRUE(image);
    const std::vector<std::uint8_t> pixels = Pixels(*image);
    const std::uint8_t expected[] = {0, 0, 1, 127, 128, 255};
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const std::uint8_t* pixel = &pixels[i * kImageBytesPerPixel];
        EXPECT_EQ((std::vector<int>{pixel[0], pixel[1], pixel[2], pixel[3]}),
                  (std::vector<int>{expected[i], expected[i], expected[i], kOpaque}))
            << words[i];
    }
}

TEST(ScanPageImage, AnEmptyPageGivesAnEmptyImageWithNoLevels) {
    const Outcome<DecodedImage> image =
        DecodeRows(RowsOf(SampleImage{{0, 5, kRgbChannels, kByteDepth}, {}}));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->View().Width, 0);
    EXPECT_EQ(CountKeptLevels(image->View()).Pixels(), 0u);
}

} // namespace

} // namespace scan_page_image_test
