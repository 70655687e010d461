// Zooming the preview: the fit and the √2 steps, the image pixel kept under
// the pointer, the readout's pixel at any zoom, and the zoomed picture (area
// averages zoomed out, whole pixels zoomed in, any window the same as the
// whole, the halved levels agreeing with the preview they came from).
#include "image/preview/PreviewZoom.h"
#include "image/preview/ZoomedPreview.h"

#include <gtest/gtest.h>

#include <cmath>

namespace preview_zoom_test {

namespace {

// A 4000 x 3000 image in a 400 x 500 area, centred at 1:1.
PreviewGeometry Loaded(std::int32_t width = 4000, std::int32_t height = 3000) {
    PreviewGeometry g;
    g.ImageAreaWidth = 400;
    g.ImageAreaHeight = 500;
    g.ImageWidth = g.PreviewWidth = width;
    g.ImageHeight = g.PreviewHeight = height;
    CentrePreview(g);
    return g;
}

TEST(PreviewZoom, StepsOfRoot2BetweenTheFitAnd800Percent) {
    const double root2 = std::sqrt(2.0);
    const struct {
        const char* name;
        PreviewGeometry g;
        double from;
        int steps;
        double to;
    } cases[] = {
        {"1:1 one in", Loaded(), 1, 1, root2},
        {"1:1 two in: 200 %", Loaded(), 1, 2, 2},
        {"1:1 two out: 50 %", Loaded(), 1, -2, 0.5},
        {"from the fit in: the next level", Loaded(), 0.1, 1, 0.125},
        {"from the fit out: stays", Loaded(), 0.1, -1, 0.1},
        {"far out: the fit", Loaded(), 1, -20, 0.1},
        {"far in: 800 %", Loaded(), 1, 20, 8},
        {"a small image is not enlarged below 1:1", Loaded(100, 80), 1, -1, 1},
    };
    for (const auto& c : cases) {
        PreviewGeometry g = c.g;
        g.Zoom = c.from;
        EXPECT_NEAR(SteppedZoom(g, c.steps), c.to, 1e-12) << c.name;
    }
    EXPECT_DOUBLE_EQ(FitZoom(Loaded()), 0.1);
}

// The pixel under the pointer stays under it as the zoom steps, wherever
// the image covers the area; the readout reads that pixel at any zoom.
TEST(PreviewZoom, TheImagePixelUnderThePointerStaysUnderIt) {
    const struct {
        const char* name;
        double zoom;
        Point about;
    } cases[] = {
        {"in about the centre", std::sqrt(2.0), {200, 250}},
        {"in about a corner", 2, {10, 490}},
        {"out about a side", 0.5, {390, 100}},
        {"to 800 %", 8, {123, 321}},
    };
    for (const auto& c : cases) {
        PreviewGeometry g = Loaded();
        const auto before = PreviewPixelAt(g, c.about);
        ASSERT_TRUE(before) << c.name;
        ASSERT_TRUE(ZoomAbout(g, c.zoom, c.about)) << c.name;
        EXPECT_DOUBLE_EQ(g.Zoom, c.zoom) << c.name;
        const auto after = PreviewPixelAt(g, c.about);
        ASSERT_TRUE(after) << c.name;
        EXPECT_NEAR(after->x, before->x, 1) << c.name;
        EXPECT_NEAR(after->y, before->y, 1) << c.name;
        // The selection tool's mapping lands in the pixel the readout reads
        // (within the rounding of the shown size).
        const PointF plane = PreviewMapping(g).ToPlane({c.about.x + 0.5, c.about.y + 0.5});
        EXPECT_NEAR(plane.x, after->x + 0.5, 0.6) << c.name;
        EXPECT_NEAR(plane.y, after->y + 0.5, 0.6) << c.name;
    }
}

TEST(PreviewZoom, FittedTheWholeImageShowsCentredAndEachPointReadsItsPixel) {
    PreviewGeometry g = Loaded();
    ASSERT_TRUE(ZoomToFit(g));
    EXPECT_EQ(g.PreviewWidth, 400);
    EXPECT_EQ(g.PreviewHeight, 300);
    EXPECT_EQ(g.PreviewX, 0);
    EXPECT_EQ(g.PreviewY, 100);
    const struct {
        Point client;
        std::optional<Point> pixel;
    } cases[] = {
        {{0, 100}, Point{5, 5}}, // each shown pixel covers 10 x 10: its centre's pixel
        {{399, 399}, Point{3995, 2995}},
        {{37, 250}, Point{375, 1505}},
        {{200, 99}, std::nullopt}, // the margin above
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PreviewPixelAt(g, c.client), c.pixel) << c.client.x << "," << c.client.y;
    }
    ASSERT_TRUE(ZoomOneToOne(g));
    EXPECT_EQ(g.PreviewWidth, 4000);
    EXPECT_EQ(PreviewPixelAt(g, {200, 250}), (Point{2000, 1500})) << "back at 1:1, centred";
}

// 0xFFRRGGBB with the channels given.
std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return 0xFF000000u | r << 16 | g << 8 | b;
}

PreviewImage Pattern(std::int32_t width, std::int32_t height, std::uint32_t (*at)(int, int)) {
    PreviewImage image = *PreviewImage::Create(width, height);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            image.Row(y)[x] = at(x, y);
        }
    }
    return image;
}

PreviewImage Render(const PreviewImage& base, const PreviewPyramid* pyramid, ZoomWindow window) {
    PreviewImage out = *PreviewImage::Create(window.width, window.height);
    EXPECT_TRUE(RenderZoomWindow(base, pyramid, window, out));
    return out;
}

TEST(ZoomedPreview, ZoomedOutEachPixelIsTheAreaMeanOfWhatItCovers) {
    // Alternating black and white: any whole number of pairs averages to grey.
    const PreviewImage checker = Pattern(
        300, 200, [](int x, int y) { return (x + y) % 2 ? Rgb(255, 255, 255) : Rgb(0, 0, 0); });
    const auto pyramid = PreviewPyramid::Build(checker);
    ASSERT_TRUE(pyramid);
    for (const PreviewPyramid* levels : {static_cast<const PreviewPyramid*>(nullptr), &*pyramid}) {
        const PreviewImage half = Render(checker, levels, {150, 100, 0, 0, 150, 100});
        for (const std::uint32_t pixel : {half.At(0, 0), half.At(77, 31), half.At(149, 99)}) {
            EXPECT_EQ(pixel & 0xFF, 128u) << (levels ? "through the levels" : "direct");
        }
    }
    // A ramp 0..255 across 256 pixels shown in 64: each the mean of four.
    const PreviewImage ramp = Pattern(256, 64, [](int x, int) {
        return Rgb(static_cast<std::uint32_t>(x), 0, 255 - static_cast<std::uint32_t>(x));
    });
    const PreviewImage quarter = Render(ramp, nullptr, {64, 16, 0, 0, 64, 16});
    for (const int u : {0, 10, 63}) {
        EXPECT_EQ(quarter.At(u, 5) >> 16 & 0xFF, static_cast<std::uint32_t>(4 * u + 2)) << u;
        EXPECT_EQ(quarter.At(u, 5) & 0xFF, static_cast<std::uint32_t>(254 - 4 * u)) << u;
    }
    // A third: spans that split pixels weigh their parts.
    const PreviewImage third = Render(ramp, nullptr, {85, 21, 0, 0, 85, 21});
    const double span = 256.0 / 85;
    const double mean = (std::floor(span) * (std::floor(span) - 1) / 2 +
                         (span - std::floor(span)) * std::floor(span)) /
                        span; // the first span covers 0, 1, 2 and a part of 3
    EXPECT_NEAR(third.At(0, 0) >> 16 & 0xFF, mean, 0.6);
}

TEST(ZoomedPreview, AnyWindowIsThatPartOfTheWholeAndZoomedInItShowsWholePixels) {
    const PreviewImage base = Pattern(333, 250, [](int x, int y) {
        return Rgb(static_cast<std::uint32_t>(x * 7 % 256), static_cast<std::uint32_t>(y * 3 % 256),
                   static_cast<std::uint32_t>((x ^ y) & 0xFF));
    });
    const auto pyramid = PreviewPyramid::Build(base);
    ASSERT_TRUE(pyramid);
    const struct {
        const char* name;
        std::int32_t shownWidth, shownHeight;
    } zooms[] = {{"0.3", 100, 75}, {"0.71", 236, 177}, {"2.83", 942, 707}, {"8", 2664, 2000}};
    for (const auto& z : zooms) {
        const ZoomWindow whole{z.shownWidth, z.shownHeight, 0, 0, z.shownWidth, z.shownHeight};
        const PreviewImage all = Render(base, &*pyramid, whole);
        const ZoomWindow part{z.shownWidth,      z.shownHeight,    z.shownWidth / 3,
                              z.shownHeight / 4, z.shownWidth / 2, z.shownHeight / 2};
        const PreviewImage some = Render(base, &*pyramid, part);
        for (const auto& [u, v] : {std::pair{0, 0}, {part.width - 1, part.height - 1}, {7, 3}}) {
            EXPECT_EQ(some.At(u, v), all.At(part.left + u, part.top + v)) << z.name;
        }
        if (z.shownWidth > base.Width()) {
            // Each shown pixel is the image pixel the readout reads there.
            for (const int u : {0, 5, z.shownWidth - 1}) {
                const std::int32_t x = ImageIndexOf(u, z.shownWidth, base.Width());
                const std::int32_t y =
                    ImageIndexOf(u % z.shownHeight, z.shownHeight, base.Height());
                EXPECT_EQ(all.At(u, u % z.shownHeight), base.At(x, y)) << z.name << " " << u;
            }
        }
    }
    PreviewImage out = *PreviewImage::Create(10, 10);
    EXPECT_FALSE(RenderZoomWindow(base, nullptr, {100, 75, 95, 0, 10, 10}, out))
        << "off the picture";
    EXPECT_FALSE(RenderZoomWindow(base, nullptr, {100, 75, 0, 0, 11, 10}, out)) << "another size";
}

// The halved levels are the preview seen from further away: a smooth
// picture comes out the same, within rounding, through them or without.
TEST(ZoomedPreview, TheLevelsGiveWhatThePreviewItselfGives) {
    const PreviewImage smooth = Pattern(1001, 777, [](int x, int y) {
        return Rgb(static_cast<std::uint32_t>(x / 4), static_cast<std::uint32_t>(y / 4),
                   static_cast<std::uint32_t>((x + y) / 8));
    });
    const auto pyramid = PreviewPyramid::Build(smooth);
    ASSERT_TRUE(pyramid);
    ASSERT_GE(pyramid->Levels().size(), 5u);
    EXPECT_EQ(pyramid->Levels()[0].Width(), 501) << "an odd last column stays";
    for (const std::int32_t shown : {400, 180, 61}) {
        const std::int32_t height = shown * 777 / 1001;
        const ZoomWindow window{shown, height, 0, 0, shown, height};
        const PreviewImage direct = Render(smooth, nullptr, window);
        const PreviewImage levels = Render(smooth, &*pyramid, window);
        int worst = 0;
        double total = 0;
        for (std::int32_t v = 0; v < height; ++v) {
            for (std::int32_t u = 0; u < shown; ++u) {
                for (const int shift : {0, 8, 16}) {
                    const int a = static_cast<int>(direct.At(u, v) >> shift & 0xFF);
                    const int b = static_cast<int>(levels.At(u, v) >> shift & 0xFF);
                    worst = std::max(worst, std::abs(a - b));
                    total += std::abs(a - b);
                }
            }
        }
        // Each halving rounds once; an odd last column is taken as a whole one.
        EXPECT_LE(worst, 3) << shown;
        EXPECT_LT(total / (3.0 * shown * height), 0.5) << shown;
    }
}

} // namespace

} // namespace preview_zoom_test
