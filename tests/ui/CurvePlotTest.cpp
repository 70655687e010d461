#include "ui/CurvePlot.h"
#include "ui/CMyGraph.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace curve_plot_test {

namespace {

constexpr int kClient = 272;
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);

GammaTable Filled(int value) {
    GammaTable t;
    t.fill(static_cast<std::int16_t>(value));
    return t;
}

GammaTable Identity() {
    GammaTable t;
    for (int i = 0; i < 256; ++i) {
        t[i] = static_cast<std::int16_t>(i);
    }
    return t;
}

QImage Plot(const GammaTableSet& tables) {
    QImage image(kClient, kClient, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter p(&image);
    const QRect client(0, 0, kClient, kClient);
    DrawCurves(p, client, tables);
    return image;
}

// Pixels of the plot interior (x, y in 8..263) that are not white.
std::vector<QPoint> Marked(const QImage& image, QRgb colour) {
    std::vector<QPoint> points;
    for (int y = 8; y <= 263; ++y) {
        for (int x = 8; x <= 263; ++x) {
            if (image.pixel(x, y) == colour) {
                points.emplace_back(x, y);
            }
        }
    }
    return points;
}

TEST(CurvePlot, FrameLiesOnSevenAndTwoSixtyFourOnWhite) {
    const QImage image = Plot({Filled(0), Filled(0), Filled(0)});
    for (int i = 7; i <= 264; ++i) {
        EXPECT_EQ(image.pixel(7, i), kBlack) << i;
        EXPECT_EQ(image.pixel(264, i), kBlack) << i;
        EXPECT_EQ(image.pixel(i, 7), kBlack) << i;
        EXPECT_EQ(image.pixel(i, 264), kBlack) << i;
    }
    for (int i = 0; i < kClient; ++i) {
        EXPECT_EQ(image.pixel(i, 0), kWhite);
        EXPECT_EQ(image.pixel(6, i), kWhite);
        EXPECT_EQ(image.pixel(265, i), kWhite);
        EXPECT_EQ(image.pixel(i, 271), kWhite);
    }
}

TEST(CurvePlot, IdentityTableDrawsTheDiagonal) {
    const QImage image = Plot({Identity(), Identity(), Identity()});
    std::vector<QPoint> expected;
    for (int y = 8; y <= 263; ++y) {
        expected.emplace_back(263 + 8 - y, y);
    }
    EXPECT_EQ(Marked(image, kBlue), expected);
    EXPECT_EQ(image.pixel(8, 263), kBlue);
    EXPECT_EQ(image.pixel(263, 8), kBlue);
}

TEST(CurvePlot, FlatTablesRunAlongTheBottomAndTopRows) {
    const QImage image = Plot({Filled(0), Identity(), Filled(255)});
    for (int x = 9; x <= 263; ++x) {
        EXPECT_EQ(image.pixel(x, 263), kRed) << x;
    }
    for (int x = 8; x <= 263; ++x) {
        EXPECT_EQ(image.pixel(x, 8), kBlue) << x;
    }
    // The all-255 curve climbs the first column from the bottom to entry 0.
    for (int y = 8; y <= 263; ++y) {
        EXPECT_EQ(image.pixel(8, y), kBlue) << y;
        if (y > 8) {
            EXPECT_NE(image.pixel(9, y), kBlue) << y;
        }
    }
}

TEST(CurvePlot, LaterChannelsDrawOverEarlierOnes) {
    const GammaTable t = Identity();
    const QImage equal = Plot({t, t, t});
    EXPECT_TRUE(Marked(equal, kRed).empty());
    EXPECT_TRUE(Marked(equal, kGreen).empty());
    const QImage distinct = Plot({Filled(10), Filled(20), Filled(30)});
    EXPECT_EQ(distinct.pixel(100, 263 - 10), kRed);
    EXPECT_EQ(distinct.pixel(100, 263 - 20), kGreen);
    EXPECT_EQ(distinct.pixel(100, 263 - 30), kBlue);
}

TEST(CurvePlot, BlackAndWhiteShapeTheCurve) {
    GammaTable shaped{};
    ComputeChannelTable(MakeChannelParams({50, 230, 150, 180}), shaped);
    const QImage image = Plot({Filled(0), Filled(0), shaped});
    for (int i = 0; i <= 5; ++i) {
        EXPECT_EQ(image.pixel(i + 8, 263), kBlue) << "runs along the bottom up to Black, " << i;
    }
    for (int i = 230; i <= 255; ++i) {
        EXPECT_EQ(image.pixel(i + 8, 8), kBlue) << "stays on the top row after White, " << i;
    }
    EXPECT_EQ(image.pixel(6 + 8, 263 - 2), kBlue);
}

TEST(CurvePlot, LeavesThePenAndBrushAsFound) {
    QImage image(kClient, kClient, QImage::Format_RGB32);
    QPainter p(&image);
    const QPen pen(Qt::darkCyan, 3);
    const QBrush brush(Qt::yellow);
    p.setPen(pen);
    p.setBrush(brush);
    const QRect client(0, 0, kClient, kClient);
    DrawCurves(p, client, {Identity(), Identity(), Identity()});
    EXPECT_EQ(p.pen(), pen);
    EXPECT_EQ(p.brush(), brush);
}

void PaintRed(QPainter& dc, const QRect* client, QWidget*, int) {
    dc.fillRect(*client, Qt::red);
}

TEST(CMyGraph, DrawsNothingWithoutACallbackAndItsClientWithOne) {
    QWidget parent;
    CMyGraph graph(1000, &parent);
    graph.setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    graph.setGeometry(0, 0, 40, 30);
    QImage before(40, 30, QImage::Format_RGB32);
    before.fill(Qt::green);
    QImage after = before;
    graph.render(&after, QPoint(), QRegion(), QWidget::RenderFlags());
    graph.PaintCallback = PaintRed;
    graph.render(&before, QPoint(), QRegion(), QWidget::RenderFlags());
    EXPECT_EQ(after.pixel(20, 15), qRgb(0, 255, 0)) << "no callback: the client stays untouched";
    EXPECT_EQ(before.pixel(2, 2), qRgb(255, 0, 0)) << "first client pixel";
    EXPECT_EQ(before.pixel(37, 27), qRgb(255, 0, 0)) << "last client pixel";
    EXPECT_NE(before.pixel(1, 1), qRgb(255, 0, 0)) << "the edge is not the client's";
    EXPECT_EQ(graph.ClientRect(), QRect(0, 0, 36, 26));
}

} // namespace

namespace {

// The plot on a device of `scale` device pixels per logical pixel, as a
// scaled desktop paints it.
QImage ScaledPlot(const GammaTableSet& tables, double scale) {
    const int side = static_cast<int>(kClient * scale);
    QImage image(side, side, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::magenta);
    QPainter p(&image);
    DrawCurves(p, QRect(0, 0, kClient, kClient), tables, scale);
    return image;
}

bool Touch(QPoint a, QPoint b) {
    return std::abs(a.x() - b.x()) <= 1 && std::abs(a.y() - b.y()) <= 1;
}

TEST(CurvePlot, OnScaledScreensFrameAndCurvesAreUnbrokenOneDevicePixelLines) {
    for (const double scale : {1.5, 2.0}) {
        SCOPED_TRACE(scale);
        const QImage image = ScaledPlot({Identity(), Identity(), Identity()}, scale);
        const int first = static_cast<int>(7 * scale);  // the frame on logical pixel 7
        const int last = static_cast<int>(264 * scale); // and on 264
        for (int i = first; i <= last; ++i) {
            EXPECT_EQ(image.pixel(i, first), kBlack) << "top at " << i;
            EXPECT_EQ(image.pixel(i, last), kBlack) << "bottom at " << i;
            EXPECT_EQ(image.pixel(first, i), kBlack) << "left at " << i;
            EXPECT_EQ(image.pixel(last, i), kBlack) << "right at " << i;
        }
        EXPECT_EQ(image.pixel(first + 1, first + 1), kWhite) << "the frame is one pixel wide";
        EXPECT_EQ(image.pixel(image.width() - 1, image.height() - 1), kWhite) << "area filled";
        // The diagonal: one blue pixel per device column, each touching the last.
        QPoint previous(-1, -1);
        for (int x = static_cast<int>(8 * scale); x < last; ++x) {
            int found = -1;
            int count = 0;
            for (int y = first + 1; y < last; ++y) {
                if (image.pixel(x, y) == kBlue) {
                    found = y;
                    ++count;
                }
            }
            ASSERT_GE(found, 0) << "gap in column " << x;
            EXPECT_LE(count, 2) << "a line, not a band, in column " << x;
            if (previous.x() >= 0) {
                EXPECT_TRUE(Touch(previous, QPoint(x, found))) << "break at column " << x;
            }
            previous = QPoint(x, found);
        }
    }
}

} // namespace

}  // namespace curve_plot_test
