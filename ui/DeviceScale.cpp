#include "ui/DeviceScale.h"

#include <QPaintDevice>
#include <QWidget>

double DeviceScaleOf(const QPainter& painter) {
    return painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
}

double DeviceScaleOf(const QWidget* widget) {
    return widget ? widget->devicePixelRatioF() : 1.0;
}
