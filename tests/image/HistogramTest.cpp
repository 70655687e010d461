#include "image/kernels/Histogram.h"
#include "image/CountLevels.h"

#include "image/formats/BmpReader.h"
#include "tests/image/BmpWriter.h"

#include <cstdlib>
#include <cstring>
#include <numeric>
#include <vector>

#include <gtest/gtest.h>

namespace histogram_test {

namespace {

// Pixel i of a width x height image: red i, green 2i, blue 255 - i (mod 256).
std::vector<std::uint8_t> RampPixels(std::int32_t width, std::int32_t height) {
    std::vector<std::uint8_t> pixels;
    for (std::int32_t i = 0; i < width * height; ++i) {
        pixels.insert(pixels.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(2 * i),
                                     static_cast<std::uint8_t>(255 - i), 7});
    }
    return pixels;
}

LevelHistogram CountedOneByOne(const std::vector<std::uint8_t>& pixels) {
    LevelHistogram h;
    for (std::size_t p = 0; p < pixels.size(); p += kImageBytesPerPixel) {
        for (std::size_t c = 0; c < kChannelCount; ++c) {
            ++h.channels[c][pixels[p + c]];
        }
    }
    return h;
}

// Bands of rows add up to the whole; odd bands leave a lone pixel after the pairs.
TEST(Histogram, CountsEveryPixelOfEveryChannelBandByBandAndIgnoresTheFourthByte) {
    const std::vector<std::uint8_t> pixels = RampPixels(7, 9);
    LevelCounter banded;
    EXPECT_EQ(banded.Total().Pixels(), 0u);
    for (std::int32_t row = 0; row < 9; row += 4) {
        banded.AddRows(pixels.data() + row * 7 * kImageBytesPerPixel, 7, std::min(4, 9 - row));
    }
    EXPECT_EQ(banded.Total(), CountedOneByOne(pixels));
    EXPECT_EQ(banded.Total().Pixels(), 63u);
}

// The counts of the image the window keeps are those of its pixels, whatever
// the stored format or row order, a large image counted in two halves.
TEST(Histogram, TheKeptImageCountsWhatWasDecoded) {
    bmptest::Encoding indexed;
    indexed.bitCount = 8;
    for (std::uint32_t i = 0; i < 256; ++i) {
        indexed.palette.push_back(i * 0x010307u & 0xFFFFFF);
    }
    bmptest::Encoding topDown;
    topDown.topDown = true;
    bmptest::Encoding wide;
    wide.bitCount = 32;
    wide.fourthByte = 0x5A;
    bmptest::Picture palettePicture = bmptest::Gradient(33, 7);
    for (std::uint32_t& v : palettePicture.pixels) {
        v = indexed.palette[v & 0xFF];
    }
    const std::pair<bmptest::Picture, bmptest::Encoding> cases[] = {
        {bmptest::Gradient(33, 7), {}},
        {bmptest::Gradient(600, 500, 9), topDown},
        {bmptest::Gradient(31, 5), wide},
        {palettePicture, indexed},
    };
    for (const auto& [picture, encoding] : cases) {
        const std::vector<std::uint8_t> bytes = bmptest::EncodeBmp(picture, encoding);
        const Outcome<DecodedImage> read = ReadBmp(MemorySource(bytes));
        ASSERT_TRUE(read) << encoding.bitCount;
        const ImageBuffer& image = read->View();
        const LevelHistogram levels = CountKeptLevels(image);
        const std::vector<std::uint8_t> decoded(
            image.Pixels, image.Pixels + std::size_t{4} * image.Width * image.Height);
        EXPECT_EQ(levels, CountedOneByOne(decoded)) << encoding.bitCount;
        EXPECT_EQ(levels.Pixels(), std::uint64_t(picture.width) * picture.height);
    }
    EXPECT_EQ(CountKeptLevels(ImageBuffer{false, 0, 0, nullptr}).Pixels(), 0u);
}

TEST(Histogram, OutputCountsFollowTheTables) {
    LevelHistogram input;
    input.channels[kRed][10] = 5;
    input.channels[kRed][20] = 7;
    input.channels[kGreen][255] = 3;
    std::array<GammaTable, kChannelCount> tables{};
    tables[kRed][10] = 100;
    tables[kRed][20] = 100;        // two input levels meeting at one output level
    tables[kGreen][255] = 256 + 9; // only the low byte is shown, as in the preview
    const LevelHistogram output = OutputHistogram(input, tables);
    EXPECT_EQ(output.channels[kRed][100], 12u);
    EXPECT_EQ(output.channels[kGreen][9], 3u);
    EXPECT_EQ(output.channels[kBlue][0], 0u);
    EXPECT_EQ(output.Pixels(), input.Pixels());
}

} // namespace

} // namespace histogram_test
