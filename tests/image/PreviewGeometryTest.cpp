// Centring, margins, panning and readout of the preview in the image area.
#include "image/preview/PreviewGeometry.h"
#include "image/preview/Readout.h"

#include <gtest/gtest.h>

#include <ostream>

namespace preview_geometry_test {

namespace {

PreviewGeometry Centred(std::int32_t areaW, std::int32_t areaH, std::int32_t w, std::int32_t h) {
    PreviewGeometry g;
    g.ImageAreaWidth = areaW;
    g.ImageAreaHeight = areaH;
    g.PreviewWidth = w;
    g.PreviewHeight = h;
    CentrePreview(g);
    return g;
}

TEST(PreviewGeometry, CentringTruncatesTowardZero) {
    EXPECT_EQ(CentredOffset(10, 13), -1);
    EXPECT_EQ(CentredOffset(13, 10), 1);
    EXPECT_EQ(CentredOffset(10, 10), 0);
    EXPECT_EQ(CentredOffset(10, 11), 0);
    EXPECT_EQ(CentredOffset(0, INT32_MAX), -1073741823);
}

struct LayoutCase {
    const char* name;
    PreviewGeometry geometry;
    std::vector<Rect> margins;
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.name;
}

class Layouts : public testing::TestWithParam<LayoutCase> {};

TEST_P(Layouts, FillTheListedMargins) {
    const Rect client{0, 0, 100, 80};
    EXPECT_EQ(MarginRects(GetParam().geometry, client), GetParam().margins);
}

INSTANTIATE_TEST_SUITE_P(
    Preview, Layouts,
    testing::Values(
        LayoutCase{"SameSizeAsArea", Centred(100, 80, 100, 80), {}},
        // Spare 7 and 5 pixels: 3 left and 4 right, 2 above and 3 below.
        LayoutCase{"SmallerWithOddSpare",
                   Centred(100, 80, 93, 75),
                   {{0, 0, 3, 80}, {96, 0, 100, 80}, {0, 0, 100, 2}, {0, 77, 100, 80}}},
        LayoutCase{"LargerBothWays", Centred(100, 80, 301, 200), {}},
        LayoutCase{"NarrowerOnly", Centred(100, 80, 50, 200), {{0, 0, 25, 80}, {75, 0, 100, 80}}},
        LayoutCase{"ShorterOnly", Centred(100, 80, 300, 40), {{0, 0, 100, 20}, {0, 60, 100, 80}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PreviewGeometry, LargerImageIsCentredWithNegativeOffsets) {
    const PreviewGeometry g = Centred(100, 80, 301, 200);
    EXPECT_EQ(g.PreviewX, -100);
    EXPECT_EQ(g.PreviewY, -60);
}

TEST(PreviewGeometry, PanningClampsAtBothEdgesOfEachAxis) {
    PreviewGeometry g = Centred(100, 80, 300, 200); // X -100 .. 0 -200 .. Y -120 .. 0
    EXPECT_TRUE(PanStep(g, 40, -10));
    EXPECT_EQ(g.PreviewX, -60);
    EXPECT_EQ(g.PreviewY, -70);
    EXPECT_TRUE(PanStep(g, 1000, 1000));
    EXPECT_EQ(g.PreviewX, 0);
    EXPECT_EQ(g.PreviewY, 0);
    EXPECT_FALSE(PanStep(g, 5, 5)) << "already at the left and top edges";
    EXPECT_TRUE(PanStep(g, -1000, -1000));
    EXPECT_EQ(g.PreviewX, -200);
    EXPECT_EQ(g.PreviewY, -120);
    EXPECT_FALSE(PanStep(g, -1, -1));
}

TEST(PreviewGeometry, WiderButNotTallerPansHorizontallyOnly) {
    PreviewGeometry g = Centred(100, 80, 300, 40);
    EXPECT_TRUE(PanStep(g, 10, 30));
    EXPECT_EQ(g.PreviewX, -90);
    EXPECT_EQ(g.PreviewY, 20);
    EXPECT_FALSE(PanStep(g, 0, -15));
    EXPECT_EQ(g.PreviewY, 20);
}

TEST(PreviewGeometry, SmallerImageNeverPans) {
    PreviewGeometry g = Centred(100, 80, 50, 40);
    EXPECT_FALSE(PanStep(g, 30, -30));
    EXPECT_EQ(g.PreviewX, 25);
    EXPECT_EQ(g.PreviewY, 20);
}

TEST(PreviewGeometry, OnePixelNarrowerImageMovesOnceThenStays) {
    for (const std::int32_t step : {0, -3}) {
        PreviewGeometry g = Centred(100, 80, 99, 200);
        ASSERT_EQ(g.PreviewX, 0);
        EXPECT_TRUE(PanStep(g, step, 0));
        EXPECT_EQ(g.PreviewX, 1) << "step " << step;
        EXPECT_FALSE(PanStep(g, -50, 0));
        EXPECT_FALSE(PanStep(g, 50, 0));
        EXPECT_EQ(g.PreviewX, 1);
    }
    PreviewGeometry g = Centred(100, 80, 99, 200);
    EXPECT_FALSE(PanStep(g, 4, 0)) << "a rightward step is clamped back to 0";
    EXPECT_EQ(g.PreviewX, 0);
}

struct AxisCase {
    std::int32_t offset, delta, area, preview, expected;
};

TEST(PreviewGeometry, PanAxisClampsTheUpperLimitFirst) {
    const AxisCase cases[] = {
        {-50, 20, 100, 300, -30},
        {-50, 60, 100, 300, 0},      // past the left edge
        {-50, -500, 100, 300, -200}, // past the right edge
        {7, -20, 100, 50, 7},        // a margin: never pans
        // Only reachable through the one-pixel case, but the order shows:
        // n = 1 is first clamped to 0 and never raised to the lower limit.
        {0, 1, 10, 5, 0},
        {0, -1, 10, 5, 5},
        {INT32_MIN + 1, INT32_MIN, 0, INT32_MAX, -INT32_MAX}, // no overflow
        {0, INT32_MAX, 0, INT32_MAX, 0},
    };
    for (const AxisCase& c : cases) {
        EXPECT_EQ(PanAxis(c.offset, c.delta, c.area, c.preview), c.expected)
            << c.offset << " + " << c.delta << " in " << c.area << " for " << c.preview;
    }
}

TEST(PreviewGeometry, ReadoutRectangleNarrowsToTheImageOverMargins) {
    const Rect clientOnScreen{500, 300, 600, 380};
    EXPECT_EQ(ReadoutRect(Centred(100, 80, 50, 40), clientOnScreen), (Rect{525, 320, 575, 360}));
    EXPECT_EQ(ReadoutRect(Centred(100, 80, 300, 40), clientOnScreen), (Rect{500, 320, 600, 360}));
    EXPECT_EQ(ReadoutRect(Centred(100, 80, 300, 200), clientOnScreen), clientOnScreen);
}

TEST(PreviewGeometry, MapsAPointToThePreviewPixelShownThere) {
    const PreviewGeometry small = Centred(100, 80, 50, 40); // at (25, 20)
    EXPECT_EQ(PreviewPixelAt(small, {25, 20}), (Point{0, 0}));
    EXPECT_EQ(PreviewPixelAt(small, {74, 59}), (Point{49, 39}));
    EXPECT_FALSE(PreviewPixelAt(small, {24, 30}));
    EXPECT_FALSE(PreviewPixelAt(small, {75, 30}));
    EXPECT_FALSE(PreviewPixelAt(small, {30, 60}));

    const PreviewGeometry large = Centred(100, 80, 300, 200); // at (-100, -60)
    EXPECT_EQ(PreviewPixelAt(large, {0, 0}), (Point{100, 60}));
    EXPECT_EQ(PreviewPixelAt(large, {99, 79}), (Point{199, 139}));
    EXPECT_FALSE(PreviewPixelAt(large, {100, 10})) << "outside the area nothing is shown";
    EXPECT_FALSE(PreviewPixelAt(large, {-1, 10}));

    const PreviewGeometry narrower = Centred(100, 80, 99, 80); // the last column shows no pixel
    EXPECT_FALSE(PreviewPixelAt(narrower, {99, 10}));
}

TEST(Readout, TextsAreThePrefixesWithPlainDecimals) {
    EXPECT_EQ(ReadoutTexts(0xFF0A80FFu), (std::array<std::string, 3>{"R: 10", "G: 128", "B: 255"}));
    EXPECT_EQ(ReadoutTexts(0xFF000000u), (std::array<std::string, 3>{"R: 0", "G: 0", "B: 0"}));
    EXPECT_EQ(ReadoutTexts(std::nullopt), (std::array<std::string, 3>{"R: ", "G: ", "B: "}));
}

} // namespace

}  // namespace preview_geometry_test
