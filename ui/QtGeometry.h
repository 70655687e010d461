// The preview rules' points and rectangles from Qt's: a rectangle's right
// and bottom are exclusive (x + width, y + height).
#pragma once

#include "image/preview/PreviewGeometry.h"

#include <QPoint>
#include <QRect>

inline Point ToPoint(QPoint p) {
    return {p.x(), p.y()};
}

inline Rect ToRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}
