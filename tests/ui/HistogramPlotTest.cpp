#include "ui/CurvePlot.h"
#include "ui/HistogramView.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace histogram_plot_test {

namespace {

constexpr int kClient = 272;
constexpr int kTopRow = 8; // output level 255
const QRgb kWhite = qRgb(255, 255, 255);

GammaTableSet FlatAt(int level) {
    GammaTableSet tables;
    for (GammaTable& t : tables) {
        t.fill(static_cast<std::int16_t>(level));
    }
    return tables;
}

QImage Plot(const GammaTableSet& tables, const LevelHistogram* histogram, double scale = 1.0) {
    const int side = static_cast<int>(kClient * scale);
    QImage image(side, side, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::magenta);
    QPainter p(&image);
    DrawCurves(p, QRect(0, 0, kClient, kClient), tables, scale, histogram);
    return image;
}

// Red everywhere at level 0 (the largest count), green at 0 and 128, blue
// only at 255 with a single pixel.
LevelHistogram Sample() {
    LevelHistogram h;
    h.channels[kRed][0] = 1000;
    h.channels[kGreen][0] = 1000;
    h.channels[kGreen][128] = 31;
    h.channels[kBlue][255] = 1;
    return h;
}

// The curves of FlatAt(0) lie on the bottom row only, below every column's top.
constexpr int kAboveCurves = kPlotBottom - 1;

int ColumnTop(const QImage& plot, int x) {
    int y = kTopRow;
    while (y <= kPlotBottom && plot.pixel(x, y) == kWhite) {
        ++y;
    }
    return y;
}

TEST(HistogramPlot, ColumnsStandAtLevelPlusEightWithLogHeights) {
    const LevelHistogram h = Sample();
    const QImage plot = Plot(FlatAt(0), &h);
    // Full height at level 0; log(32) / log(1001) of 256 at 128; log(2) / log(1001) at 255.
    EXPECT_EQ(ColumnTop(plot, kPlotOrigin + 0), kTopRow);
    EXPECT_EQ(ColumnTop(plot, kPlotOrigin + 128), kPlotBottom + 1 - ColumnHeight(31, 1000));
    EXPECT_EQ(ColumnHeight(31, 1000), 128);
    EXPECT_EQ(ColumnTop(plot, kPlotOrigin + 255), kPlotBottom + 1 - ColumnHeight(1, 1000));
    EXPECT_EQ(ColumnTop(plot, kPlotOrigin + 1), kPlotBottom) << "an empty level draws nothing";
    // The frame stays black; nothing is drawn outside it.
    EXPECT_EQ(plot.pixel(kPlotFrameLeft, 200), qRgb(0, 0, 0));
    EXPECT_EQ(plot.pixel(kPlotFrameLeft - 1, 200), kWhite);
}

TEST(HistogramPlot, ChannelsAreLightAndOverlapsDarkerThanEither) {
    const LevelHistogram h = Sample();
    const QImage plot = Plot(FlatAt(0), &h);
    const QRgb green = plot.pixel(kPlotOrigin + 128, kAboveCurves);
    const QRgb blue = plot.pixel(kPlotOrigin + 255, kAboveCurves);
    const QRgb redAndGreen = plot.pixel(kPlotOrigin, kAboveCurves);
    EXPECT_GT(qGreen(green), qRed(green));
    EXPECT_GT(qBlue(blue), qGreen(blue));
    EXPECT_GT(qRed(green), 128) << "light, so the curves stand out";
    EXPECT_LT(qBlue(redAndGreen), qBlue(green));
    EXPECT_NE(redAndGreen, green);
}

TEST(HistogramPlot, CurvesAreDrawnOnTopExactlyAsWithout) {
    const LevelHistogram h = Sample();
    for (const double scale : {1.0, 2.0}) {
        const QImage bare = Plot(FlatAt(40), nullptr, scale);
        const QImage with = Plot(FlatAt(40), &h, scale);
        for (int y = 0; y < bare.height(); ++y) {
            for (int x = 0; x < bare.width(); ++x) {
                if (bare.pixel(x, y) != kWhite) {
                    ASSERT_EQ(with.pixel(x, y), bare.pixel(x, y)) << x << "," << y << " @" << scale;
                }
            }
        }
    }
}

TEST(HistogramPlot, OnAScaledScreenAColumnFillsItsDevicePixels) {
    const LevelHistogram h = Sample();
    const QImage plot = Plot(FlatAt(0), &h, 2.0);
    const int x = 2 * (kPlotOrigin + 128);
    const int y = 2 * kAboveCurves;
    EXPECT_NE(plot.pixel(x, y), kWhite);
    EXPECT_EQ(plot.pixel(x + 1, y), plot.pixel(x, y));
    EXPECT_EQ(plot.pixel(x + 2, y), kWhite);
    EXPECT_EQ(plot.pixel(x - 1, y), kWhite);
    EXPECT_EQ(plot.pixel(x, 2 * (kPlotBottom + 1 - 128)), plot.pixel(x, y));
    EXPECT_EQ(plot.pixel(x, 2 * (kPlotBottom + 1 - 128) - 1), kWhite);
}

} // namespace

}  // namespace histogram_plot_test
