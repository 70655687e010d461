#include "platform/GdiDraw.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace gdi_draw_test {

namespace {

struct LineCase {
    const char* name;
    QPoint from;
    QPoint to;
    std::vector<QPoint> pixels;
};

TEST(LinePixels, SetEveryPixelButTheEndPoint) {
    const LineCase cases[] = {
        {"empty when both ends meet", {3, 3}, {3, 3}, {}},
        {"horizontal", {0, 0}, {3, 0}, {{0, 0}, {1, 0}, {2, 0}}},
        {"leftwards", {3, 1}, {0, 1}, {{3, 1}, {2, 1}, {1, 1}}},
        {"vertical up", {8, 263}, {8, 260}, {{8, 263}, {8, 262}, {8, 261}}},
        {"diagonal", {0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}}},
        {"one column steep", {0, 9}, {1, 6}, {{0, 9}, {0, 8}, {1, 7}}},
    };
    for (const LineCase& c : cases) {
        EXPECT_EQ(LinePixels(c.from, c.to), c.pixels) << c.name;
    }
}

TEST(LinePixels, StepsOncePerPixelAlongTheLongerAxis) {
    for (const QPoint to : {QPoint(17, 5), QPoint(-4, 29), QPoint(-30, -30), QPoint(1, -255)}) {
        const auto pixels = LinePixels({0, 0}, to);
        ASSERT_EQ(static_cast<int>(pixels.size()), std::max(std::abs(to.x()), std::abs(to.y())));
        for (std::size_t i = 1; i < pixels.size(); ++i) {
            const QPoint step = pixels[i] - pixels[i - 1];
            EXPECT_LE(std::abs(step.x()), 1);
            EXPECT_LE(std::abs(step.y()), 1);
        }
    }
}

QImage WhiteImage(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

TEST(GdiDraw, RectangleOutlineExcludesRightAndBottom) {
    QImage image = WhiteImage(12, 12);
    {
        QPainter p(&image);
        p.setPen(QPen(Qt::black, 0));
        DrawRectangleOutline(p, 2, 3, 9, 10);
    }
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            const bool onFrame = ((x == 2 || x == 8) && y >= 3 && y <= 9) ||
                                 ((y == 3 || y == 9) && x >= 2 && x <= 8);
            EXPECT_EQ(image.pixel(x, y) == qRgb(0, 0, 0), onFrame) << x << "," << y;
        }
    }
}

TEST(GdiDraw, FillSolidRectFillsExactlyItsRectangle) {
    QImage image = WhiteImage(6, 6);
    {
        QPainter p(&image);
        FillSolidRect(p, 1, 2, 4, 5, 0x404040);
        FillSolidRect(p, 5, 5, 5, 6, 0x000000); // empty: nothing
    }
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 1 && x < 4 && y >= 2 && y < 5;
            EXPECT_EQ(image.pixel(x, y), inside ? qRgb(64, 64, 64) : qRgb(255, 255, 255))
                << x << "," << y;
        }
    }
}

TEST(GdiDraw, ColourReferencesKeepRedInTheLowByte) {
    EXPECT_EQ(ColorFromRef(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ColorFromRef(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(RefFromColor(QColor(1, 2, 3)), 0x030201u);
}

} // namespace

}  // namespace gdi_draw_test
