// Scanned rows become the window's image exactly as a loaded BMP would be:
// R, G, B, 255, top row first, 16-bit levels rounded to the nearest 8-bit one.
#include "image/SampleBuffer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

std::vector<std::uint8_t> Converted(const SampleImage& image) {
    ImageBuffer buffer{};
    EXPECT_TRUE(ToImageBuffer(image, buffer));
    const std::unique_ptr<std::uint8_t, decltype(&std::free)> owned(buffer.Pixels, &std::free);
    EXPECT_FALSE(buffer.TopDown);
    EXPECT_EQ(buffer.Width, image.layout.width);
    EXPECT_EQ(buffer.Height, image.layout.height);
    return {buffer.Pixels, buffer.Pixels + static_cast<std::size_t>(buffer.Width) *
                                               static_cast<std::size_t>(buffer.Height) *
                                               kImageBytesPerPixel};
}

TEST(SampleBuffer, EightBitRowsKeepTheirLevelsInOrder) {
    const SampleImage colour{{2, 1, kRgbChannels, kByteDepth}, {1, 2, 3, 4, 5, 6}};
    EXPECT_EQ(Converted(colour), (std::vector<std::uint8_t>{1, 2, 3, 255, 4, 5, 6, 255}));
    const SampleImage grey{{1, 2, kGreyChannels, kByteDepth}, {9, 200}};
    EXPECT_EQ(Converted(grey), (std::vector<std::uint8_t>{9, 9, 9, 255, 200, 200, 200, 255}));
}

TEST(SampleBuffer, SixteenBitSamplesRoundToTheNearestLevel) {
    // (v * 255 + 32767) / 65535: 128 and 129 are the nearest levels to 32896 -+ 1.
    const std::uint16_t words[] = {0, 128, 129, 32767, 32896, 65535};
    SampleImage grey{{6, 1, kGreyChannels, kWordDepth}, std::vector<std::uint8_t>(sizeof words)};
    std::memcpy(grey.bytes.data(), words, sizeof words);
    const std::vector<std::uint8_t> levels = Converted(grey);
    const std::uint8_t expected[] = {0, 0, 1, 127, 128, 255};
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(levels[i * kImageBytesPerPixel], expected[i]) << words[i];
    }
    for (std::uint32_t v = 0; v <= 65535; ++v) {
        const int level = LevelOf16(v);
        ASSERT_LE(std::abs(level * 65535 - static_cast<int>(v) * 255), 65535 / 2 + 1) << v;
    }
}

TEST(SampleBuffer, AnEmptyImageGivesNoBuffer) {
    ImageBuffer buffer{};
    EXPECT_FALSE(ToImageBuffer(SampleImage{{0, 5, kRgbChannels, kByteDepth}, {}}, buffer));
    EXPECT_EQ(buffer.Pixels, nullptr);
}

} // namespace
