// Qt gives logical pixels; the preview is laid out in device pixels, so each
// position is scaled by the screen's factor before it is compared.
#include "ui/PointerGeometry.h"

#include "ui/CMyGraph.h"
#include "ui/DeviceScale.h"
#include "ui/QtGeometry.h"

namespace {

QPoint DeviceOnScreen(const QWidget* w, QPoint logical) {
    return ToDevice(w->mapToGlobal(QPointF(logical)), DeviceScaleOf(w));
}

} // namespace

QPoint OnScreen(const QWidget* dialog, QPoint point) {
    return DeviceOnScreen(dialog, QPoint(0, 0)) + point;
}

Rect WindowRectOnScreen(const QWidget* area) {
    return ToRect(
        QRect(DeviceOnScreen(area, QPoint(0, 0)), ToDevice(area->size(), DeviceScaleOf(area))));
}

Rect ClientRectOnScreen(const CMyGraph* area) {
    const QRect client = area->contentsRect();
    return ToRect(QRect(DeviceOnScreen(area, client.topLeft()),
                        ToDevice(client.size(), DeviceScaleOf(area))));
}

QPointF InClient(const CMyGraph* area, QPoint onScreen) {
    const Rect client = ClientRectOnScreen(area);
    return QPointF(onScreen.x() - client.left, onScreen.y() - client.top);
}
