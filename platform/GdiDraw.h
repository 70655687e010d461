// The few drawing rules of the classic device context that pixel-exact plots
// depend on: a line excludes its end point, a rectangle's right and bottom
// are exclusive, colours are 0x00BBGGRR references.
#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <vector>

class QPainter;

// 0x00BBGGRR: red in bits 0-7, green in 8-15, blue in 16-23.
QColor ColorFromRef(std::uint32_t colorRef);
std::uint32_t RefFromColor(QColor color);

// The pixels a one-pixel line from `from` to `to` sets: Bresenham steps along
// the longer axis, the end point itself excluded (so joined lines never set a
// pixel twice).
std::vector<QPoint> LinePixels(QPoint from, QPoint to);

// Current-position drawing: MoveTo, then LineTo with the painter's pen colour.
class LinePen {
public:
    void MoveTo(int x, int y) { current_ = QPoint(x, y); }
    void LineTo(QPainter& painter, int x, int y);
    QPoint Current() const { return current_; }

private:
    QPoint current_;
};

// Outline of the rectangle (left, top) to (right, bottom), right and bottom
// exclusive: its lines lie on x = left, x = right - 1, y = top, y = bottom - 1.
void DrawRectangleOutline(QPainter& painter, int left, int top, int right, int bottom);

// Fills (left, top) to (right, bottom), right and bottom exclusive; an empty
// or inverted rectangle fills nothing.
void FillSolidRect(QPainter& painter, int left, int top, int right, int bottom,
                   std::uint32_t colorRef);
