// Rendering through the gamma tables: colours, row order, and that every
// preview pixel is written.
#include "image/preview/RenderPreview.h"
#include "image/formats/BmpReader.h"
#include "image/rows/ParallelRows.h"
#include "tests/image/BmpWriter.h"
#include "tests/image/ImageTestUtil.h"

#include <gtest/gtest.h>

#include <numeric>

namespace render_preview_test {

namespace {

using bmptest::EncodeBmp;
using bmptest::Encoding;
using bmptest::Gradient;
using bmptest::Picture;
using imagetest::OwnedImage;
using Tables = GammaTableSet;

constexpr std::uint32_t kGarbage = 0x5A5A5A5A;

Tables Identity() {
    Tables t{};
    for (GammaTable& table : t) {
        std::iota(table.begin(), table.end(), std::int16_t{0});
    }
    return t;
}

Tables Constants(std::int16_t r, std::int16_t g, std::int16_t b) {
    Tables t{};
    t[0].fill(r);
    t[1].fill(g);
    t[2].fill(b);
    return t;
}

// Each channel inverted differently, so a swapped table shows.
Tables Distinct() {
    Tables t{};
    for (int i = 0; i < 256; ++i) {
        t[0][i] = static_cast<std::int16_t>(255 - i);
        t[1][i] = static_cast<std::int16_t>(i / 2);
        t[2][i] = static_cast<std::int16_t>((i * 7) & 0xFF);
    }
    return t;
}

void Load(OwnedImage& loaded, const Picture& p, bool topDown = false) {
    Encoding e;
    e.topDown = topDown;
    ASSERT_EQ(LoadBmpBytes(&loaded.image, EncodeBmp(p, e)), 0);
}

PreviewImage FilledPreview(std::int32_t w, std::int32_t h) {
    auto preview = PreviewImage::Create(w, h);
    EXPECT_TRUE(preview.has_value());
    std::fill_n(preview->Bits(), std::int64_t{w} * h, kGarbage);
    return std::move(*preview);
}

// Image sizes below and above the point where rendering uses two threads.
class RenderSizes : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(RenderSizes, IdentityTablesGiveTheImageUpright) {
    const auto [w, h] = GetParam();
    const Picture p = Gradient(w, h, 9);
    for (const bool topDown : {false, true}) {
        OwnedImage loaded;
        Load(loaded, p, topDown);
        PreviewImage preview = FilledPreview(w, h);
        ASSERT_TRUE(RenderPreview(loaded.image, Identity(), preview));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ(preview.At(x, y), 0xFF000000u | p.At(x, y))
                    << x << "," << y << (topDown ? " top-down" : " bottom-up");
            }
        }
    }
}

TEST_P(RenderSizes, ConstantTablesFillEveryPixel) {
    const auto [w, h] = GetParam();
    OwnedImage loaded;
    Load(loaded, Gradient(w, h));
    PreviewImage preview = FilledPreview(w, h);
    ASSERT_TRUE(RenderPreview(loaded.image, Constants(0x12, 0x34, 0x56), preview));
    const std::uint32_t* bits = preview.Bits();
    EXPECT_TRUE(std::all_of(bits, bits + std::int64_t{w} * h,
                            [](std::uint32_t px) { return px == 0xFF123456u; }));
}

INSTANTIATE_TEST_SUITE_P(Preview, RenderSizes,
                         testing::Values(std::pair{1, 1}, std::pair{7, 3}, std::pair{640, 480}));

TEST(RenderPreview, UsesEachChannelsOwnTableAndOnlyTheLowByte) {
    Tables tables = Distinct();
    tables[1][0x40] = 0x1FF; // out of range: only its low byte, 0xFF, counts
    const Picture p{3, 1, {0x40C000, 0x004040, 0xFF7F01}};
    OwnedImage loaded;
    Load(loaded, p);
    PreviewImage preview = FilledPreview(3, 1);
    ASSERT_TRUE(RenderPreview(loaded.image, tables, preview));
    EXPECT_EQ(preview.At(0, 0), 0xFFBF6000u); // R 255-0x40, G 0xC0/2, B 0
    EXPECT_EQ(preview.At(1, 0), 0xFFFFFFC0u); // R 255, G low byte of 0x1FF, B 0x40*7
    EXPECT_EQ(preview.At(2, 0), 0xFF003F07u); // R 0, G 0x7F/2, B 7
}

TEST(RenderPreview, IgnoresTheImagesFourthByte) {
    OwnedImage loaded;
    Load(loaded, Gradient(4, 4));
    PreviewImage a = FilledPreview(4, 4);
    ASSERT_TRUE(RenderPreview(loaded.image, Distinct(), a));
    for (int i = 0; i < 16; ++i) {
        loaded.image.Pixels[4 * i + 3] = static_cast<std::uint8_t>(i);
    }
    PreviewImage b = FilledPreview(4, 4);
    ASSERT_TRUE(RenderPreview(loaded.image, Distinct(), b));
    EXPECT_TRUE(std::equal(a.Bits(), a.Bits() + 16, b.Bits()));
}

TEST(RenderPreview, RefusesAPreviewOfAnotherSize) {
    OwnedImage loaded;
    Load(loaded, Gradient(4, 3));
    for (const auto& [w, h] : {std::pair{3, 4}, std::pair{4, 2}, std::pair{5, 3}}) {
        PreviewImage preview = FilledPreview(w, h);
        EXPECT_FALSE(RenderPreview(loaded.image, Identity(), preview));
        EXPECT_EQ(preview.At(0, 0), kGarbage);
    }
}

TEST(RenderPreview, AZeroWidthImageVisitsNoneOfItsRows) {
    // A 56-byte file may claim 0 x (2^31 - 1) pixels; rendering it must not
    // walk two billion empty rows.
    auto preview = PreviewImage::Create(0, INT32_MAX);
    ASSERT_TRUE(preview);
    EXPECT_TRUE(RenderPreview(ImageBuffer{false, 0, INT32_MAX, nullptr}, Identity(), *preview));
    int calls = 0;
    EXPECT_TRUE(
        ForRowRanges(INT32_MAX, 0, [&](std::int32_t, std::int32_t) { return ++calls, true; }));
    EXPECT_EQ(calls, 0);
}

TEST(PreviewImage, RefusesSizesThatCannotExist) {
    EXPECT_FALSE(PreviewImage::Create(-1, 5));
    EXPECT_FALSE(PreviewImage::Create(5, -1));
    EXPECT_FALSE(PreviewImage::Create(INT32_MAX, INT32_MAX)); // 2^64 bytes
    const auto empty = PreviewImage::Create(0, 7);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Height(), 7);
}

} // namespace

}  // namespace render_preview_test
