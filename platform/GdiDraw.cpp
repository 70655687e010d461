// Pixel-exact lines, outlines and fills on a QPainter without antialiasing.
#include "platform/GdiDraw.h"

#include <QPainter>

#include <cstdlib>

namespace {

constexpr int kByteBits = 8;
constexpr std::uint32_t kByteMask = 0xFF;

} // namespace

QColor ColorFromRef(std::uint32_t ref) {
    return QColor(static_cast<int>(ref & kByteMask),
                  static_cast<int>((ref >> kByteBits) & kByteMask),
                  static_cast<int>((ref >> (2 * kByteBits)) & kByteMask));
}

std::uint32_t RefFromColor(QColor color) {
    return static_cast<std::uint32_t>(color.red()) |
           (static_cast<std::uint32_t>(color.green()) << kByteBits) |
           (static_cast<std::uint32_t>(color.blue()) << (2 * kByteBits));
}

std::vector<QPoint> LinePixels(QPoint from, QPoint to) {
    const int dx = std::abs(to.x() - from.x());
    const int dy = std::abs(to.y() - from.y());
    const int sx = from.x() < to.x() ? 1 : -1;
    const int sy = from.y() < to.y() ? 1 : -1;
    std::vector<QPoint> pixels;
    pixels.reserve(static_cast<std::size_t>(dx > dy ? dx : dy));
    int err = (dx > dy ? dx : -dy) / 2;
    QPoint p = from;
    while (p != to) {
        pixels.push_back(p);
        const int e2 = err;
        if (e2 > -dx) {
            err -= dy;
            p.rx() += sx;
        }
        if (e2 < dy) {
            err += dx;
            p.ry() += sy;
        }
    }
    return pixels;
}

void LinePen::LineTo(QPainter& painter, int x, int y) {
    const QPoint to(x, y);
    const std::vector<QPoint> pixels = LinePixels(current_, to);
    if (!pixels.empty()) {
        painter.drawPoints(pixels.data(), static_cast<int>(pixels.size()));
    }
    current_ = to;
}

void DrawRectangleOutline(QPainter& painter, int left, int top, int right, int bottom) {
    LinePen pen;
    pen.MoveTo(left, top);
    pen.LineTo(painter, right - 1, top);
    pen.LineTo(painter, right - 1, bottom - 1);
    pen.LineTo(painter, left, bottom - 1);
    pen.LineTo(painter, left, top);
}

void FillSolidRect(QPainter& painter, int left, int top, int right, int bottom,
                   std::uint32_t colorRef) {
    if (right <= left || bottom <= top) {
        return;
    }
    painter.fillRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)),
                     ColorFromRef(colorRef));
}
