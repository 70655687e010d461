// Inputs the BMP fuzzer found, kept byte for byte: each must go through the
// reader and the preview as any file a user opens, promptly and harmlessly.
#include "image/formats/BmpReader.h"
#include "image/preview/PreviewState.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace bmp_fuzz_findings_test {

namespace {

// "BM", pixel data at 51, 24 bits, width 0 and height 2^30 + 3: a file of 56
// bytes that holds no pixel, yet its preview once walked a billion empty rows.
constexpr std::array<std::uint8_t, 56> kZeroWidthBillionRows = {
    0x42, 0x4d, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x33, 0x00, 0x00, 0x00,
    0x28, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x40, 0x01, 0x00,
    0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0xef, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
};

GammaTableSet FlatTables() {
    GammaTableSet tables{};
    for (GammaTable& table : tables) {
        table.fill(128);
    }
    return tables;
}

TEST(BmpFuzzFindings, ZeroWidthFileClaimingABillionRowsShowsAnEmptyPreview) {
    ImageBuffer loaded{};
    ASSERT_EQ(LoadBmpBytes(&loaded, kZeroWidthBillionRows), 0);
    EXPECT_EQ(loaded.Width, 0);
    EXPECT_EQ(loaded.Height, (1 << 30) + 3);
    PreviewState state;
    state.ImageAreaWidth = 40;
    state.ImageAreaHeight = 30;
    ASSERT_TRUE(ShowLoadedImage(
        state, KeptImage::OfLevels(loaded, MallocPtr<std::uint8_t>(loaded.Pixels)), FlatTables()));
    EXPECT_EQ(state.PreviewBitmap->Width(), 0);
    for (const Point at : {Point{0, 0}, Point{20, 15}, Point{39, 29}}) {
        EXPECT_FALSE(PreviewColourAt(state, at)) << "no pixel to read at " << at.x << "," << at.y;
    }
    EXPECT_TRUE(ReapplyTables(state, FlatTables()));
    ReleasePreviewState(state);
}

} // namespace

} // namespace bmp_fuzz_findings_test
