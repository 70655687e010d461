// The process-wide preview's life: opening an image, Apply, readings, release.
#include "image/preview/PreviewState.h"
#include "image/formats/BmpReader.h"
#include "tests/image/BmpWriter.h"

#include <gtest/gtest.h>

#include <numeric>

namespace preview_state_test {

namespace {

using Tables = GammaTableSet;

Tables Identity() {
    Tables t{};
    for (GammaTable& table : t) {
        std::iota(table.begin(), table.end(), std::int16_t{0});
    }
    return t;
}

Tables Inverted() {
    Tables t = Identity();
    for (GammaTable& table : t) {
        for (auto& entry : table) {
            entry = static_cast<std::int16_t>(255 - entry);
        }
    }
    return t;
}

KeptImage Loaded(std::int32_t w, std::int32_t h) {
    ImageBuffer image{};
    EXPECT_EQ(LoadBmpBytes(&image, bmptest::EncodeBmp(bmptest::Gradient(w, h))), 0);
    return KeptImage::OfLevels(image, MallocPtr<std::uint8_t>(image.Pixels));
}

class PreviewStateTest : public testing::Test {
protected:
    PreviewStateTest() {
        state.ImageAreaWidth = 100;
        state.ImageAreaHeight = 80;
    }
    ~PreviewStateTest() override { ReleasePreviewState(state); }
    PreviewState state;
};

TEST_F(PreviewStateTest, OpeningRendersAndCentresTheImage) {
    ASSERT_TRUE(ShowLoadedImage(state, Loaded(50, 40), Identity()));
    ASSERT_TRUE(state.PreviewBitmap);
    EXPECT_EQ(state.PreviewBitmap->Width(), 50);
    EXPECT_EQ(state.PreviewWidth, 50);
    EXPECT_EQ(state.PreviewHeight, 40);
    EXPECT_EQ(state.PreviewX, 25);
    EXPECT_EQ(state.PreviewY, 20);
    const auto first = state.Picture().SamplesAt(0, 0);
    EXPECT_EQ(PreviewColourAt(state, {25, 20}),
              0xFF000000u | first[0] << 16 | first[1] << 8 | first[2]);
}

TEST_F(PreviewStateTest, OpeningAnotherImageReplacesAndRecentres) {
    ASSERT_TRUE(ShowLoadedImage(state, Loaded(300, 200), Identity()));
    PanStep(state, 30, 30);
    ASSERT_NE(state.PreviewX, -100);
    ASSERT_TRUE(ShowLoadedImage(state, Loaded(20, 10), Identity()));
    EXPECT_EQ(state.PreviewBitmap->Width(), 20);
    EXPECT_EQ(state.PreviewBitmap->Height(), 10);
    EXPECT_EQ(state.PreviewX, 40);
    EXPECT_EQ(state.PreviewY, 35);
}

TEST_F(PreviewStateTest, ApplyReRendersIntoTheSamePreview) {
    ASSERT_TRUE(ShowLoadedImage(state, Loaded(10, 10), Identity()));
    const std::uint32_t* bits = state.PreviewBitmap->Bits();
    const std::uint32_t before = *PreviewColourAt(state, {45, 35});
    ASSERT_TRUE(ReapplyTables(state, Inverted()));
    EXPECT_EQ(state.PreviewBitmap->Bits(), bits);
    EXPECT_EQ(*PreviewColourAt(state, {45, 35}), before ^ 0x00FFFFFFu);
}

TEST_F(PreviewStateTest, ApplyWithoutAPreviewDoesNothing) {
    EXPECT_FALSE(ReapplyTables(state, Identity()));
    EXPECT_FALSE(state.PreviewBitmap);
}

TEST_F(PreviewStateTest, NoReadingWithoutAPreviewOrOverAMargin) {
    EXPECT_FALSE(PreviewColourAt(state, {50, 40}));
    ASSERT_TRUE(ShowLoadedImage(state, Loaded(50, 40), Identity()));
    EXPECT_FALSE(PreviewColourAt(state, {10, 40}));
    EXPECT_TRUE(PreviewColourAt(state, {50, 40}));
}

TEST_F(PreviewStateTest, APreviewThatCannotBeAllocatedIsReportedAndTheImageKept) {
    // Far too large for memory; the pixels are never looked at.
    auto* pixels = static_cast<std::uint8_t*>(std::malloc(4));
    EXPECT_FALSE(ShowLoadedImage(
        state,
        KeptImage::OfLevels({false, INT32_MAX, INT32_MAX, pixels}, MallocPtr<std::uint8_t>(pixels)),
        Identity()));
    EXPECT_FALSE(state.PreviewBitmap);
    EXPECT_EQ(state.Picture().Width(), INT32_MAX);
    EXPECT_FALSE(ReapplyTables(state, Identity()));
}

TEST_F(PreviewStateTest, ReleaseFreesTheImageAndDropsThePreview) {
    ASSERT_TRUE(ShowLoadedImage(state, Loaded(5, 5), Identity()));
    ReleasePreviewState(state);
    EXPECT_FALSE(state.Picture().HasPixels());
    EXPECT_FALSE(state.PreviewBitmap);
}

} // namespace

} // namespace preview_state_test
