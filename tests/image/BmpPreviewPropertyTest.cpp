// Property: a picture of random size, depth and row order, written as a BMP
// with junk in its padding, unused bytes and gap, reads back to exactly its
// pixels, and the preview made from it shows every pixel upright where the
// picture has it.
#include "image/formats/BmpReader.h"
#include "image/preview/RenderPreview.h"
#include "tests/image/BmpWriter.h"
#include "tests/image/ImageTestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <random>
#include <string>
#include <unistd.h>

namespace bmp_preview_property_test {

namespace {

using bmptest::Encoding;
using bmptest::Picture;
using imagetest::OwnedImage;

struct Drawn {
    Picture colours; // 0xRRGGBB, top row first: what the file shows
    Picture stored;  // the same, or colour-table indices for an 8-bit file
    Encoding encoding;
};

std::string Describe(const Drawn& d) {
    return std::to_string(d.encoding.bitCount) + "-bit " + std::to_string(d.colours.width) + "x" +
           std::to_string(d.colours.height) + (d.encoding.topDown ? " top-down" : " bottom-up") +
           " gap " + std::to_string(d.encoding.gap);
}

// Mostly small pictures of every width modulo 4; now and then one big enough
// to be read and rendered on two threads.
Drawn Draw(std::mt19937& rng) {
    const bool big = rng() % 16 == 0;
    const auto width = static_cast<std::int32_t>(big ? 600 + rng() % 7 : 1 + rng() % 40);
    const auto height = static_cast<std::int32_t>(big ? 440 + rng() % 5 : 1 + rng() % 12);
    Drawn d;
    d.encoding.bitCount = std::array<std::uint16_t, 3>{8, 24, 32}[rng() % 3];
    d.encoding.topDown = rng() % 2 == 0;
    d.encoding.padByte = static_cast<std::uint8_t>(rng());
    d.encoding.fourthByte = static_cast<std::uint8_t>(rng());
    d.encoding.gap = rng() % 3 == 0 ? rng() % 40 : 0;
    d.encoding.gapByte = static_cast<std::uint8_t>(rng());
    d.colours = Picture{width, height, {}};
    d.stored = d.colours;
    if (d.encoding.bitCount == 8) {
        for (int i = 0; i < 256; ++i) {
            d.encoding.palette.push_back(rng() & 0xFFFFFF);
        }
    }
    for (std::int64_t i = 0; i < std::int64_t{width} * height; ++i) {
        const std::uint32_t index = rng() & 0xFF;
        const bool indexed = d.encoding.bitCount == 8;
        d.stored.pixels.push_back(indexed ? index : rng() & 0xFFFFFF);
        d.colours.pixels.push_back(indexed ? d.encoding.palette[index] : d.stored.pixels.back());
    }
    return d;
}

GammaTableSet Identity() {
    GammaTableSet tables{};
    for (GammaTable& table : tables) {
        std::iota(table.begin(), table.end(), std::int16_t{0});
    }
    return tables;
}

// Through identity tables a preview pixel is 0xFF followed by the colour.
void ExpectPreviewShows(const PreviewImage& preview, const Picture& colours,
                        const std::string& what) {
    ASSERT_EQ(preview.Width(), colours.width) << what;
    ASSERT_EQ(preview.Height(), colours.height) << what;
    for (std::int32_t y = 0; y < colours.height; ++y) {
        for (std::int32_t x = 0; x < colours.width; ++x) {
            ASSERT_EQ(preview.At(x, y), 0xFF000000u | colours.At(x, y))
                << what << " at " << x << "," << y;
        }
    }
}

TEST(BmpPreviewProperty, WrittenPicturesReadBackExactlyAndPreviewUpright) {
    std::mt19937 rng(1729);
    const auto path = std::filesystem::path(testing::TempDir()) /
                      ("tamrel_property_" + std::to_string(::getpid()) + ".bmp");
    for (int trial = 0; trial < 200; ++trial) {
        const Drawn d = Draw(rng);
        const std::string what = "trial " + std::to_string(trial) + ": " + Describe(d);
        const std::vector<std::uint8_t> bytes = bmptest::EncodeBmp(d.stored, d.encoding);
        OwnedImage loaded;
        if (trial % 10 == 0) { // now and then the way a user's file is read
            bmptest::WriteFile(path, bytes);
            ASSERT_EQ(LoadBmpFile(&loaded.image, path), 0) << what;
        } else {
            ASSERT_EQ(LoadBmpBytes(&loaded.image, bytes), 0) << what;
        }
        EXPECT_EQ(loaded.image.TopDown, d.encoding.topDown) << what;
        ASSERT_EQ(loaded.Bytes(), imagetest::ExpectedArray(d.colours, d.encoding.topDown)) << what;
        const auto preview = BuildPreview(loaded.image, Identity());
        ASSERT_TRUE(preview) << what;
        ExpectPreviewShows(*preview, d.colours, what);
    }
    std::filesystem::remove(path);
}

} // namespace

}  // namespace bmp_preview_property_test
