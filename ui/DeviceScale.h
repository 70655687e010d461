// Screens scaled by the desktop (QT_SCALE_FACTOR 1.5, 2, ...): the plot and
// the preview are drawn in device pixels, so lines stay one device pixel wide
// and unbroken and an image pixel is one device pixel, as photo tools show
// 100 %. At scale 1 device and logical pixels are the same.
#pragma once

#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <cmath>

class QWidget;

// Device pixels per logical pixel of what the painter paints on.
double DeviceScaleOf(const QPainter& painter);
double DeviceScaleOf(const QWidget* widget);

// The device pixel holding the top-left corner of logical pixel x.
inline int ToDevice(int x, double scale) {
    return static_cast<int>(std::floor(x * scale));
}
inline QPoint ToDevice(QPointF p, double scale) {
    return {static_cast<int>(std::floor(p.x() * scale)),
            static_cast<int>(std::floor(p.y() * scale))};
}
inline QSize ToDevice(QSize s, double scale) {
    return {ToDevice(s.width(), scale), ToDevice(s.height(), scale)};
}
inline QRect ToDevice(const QRect& r, double scale) {
    return QRect(QPoint(ToDevice(r.left(), scale), ToDevice(r.top(), scale)),
                 QPoint(ToDevice(r.left() + r.width(), scale) - 1,
                        ToDevice(r.top() + r.height(), scale) - 1));
}

// While alive, the painter's coordinates are device pixels from the same
// origin: one unit is one device pixel.
class DevicePixelPainting {
public:
    DevicePixelPainting(QPainter& painter, double scale) : painter_(painter) {
        painter_.save();
        painter_.scale(1.0 / scale, 1.0 / scale);
    }
    ~DevicePixelPainting() { painter_.restore(); }
    DevicePixelPainting(const DevicePixelPainting&) = delete;
    DevicePixelPainting& operator=(const DevicePixelPainting&) = delete;

private:
    QPainter& painter_;
};
