// Where the pointer is over the image area, in device pixels (one image
// pixel each at 1:1, see DeviceScale.h): the dialog's points and the area's
// rectangles on the screen, and a screen point in the area's client
// coordinates, the sunken edge left out.
#pragma once

#include "image/preview/PreviewGeometry.h"

#include <QPoint>
#include <QPointF>

class CMyGraph;
class QWidget;

// A point of the dialog, in device pixels, on the screen.
QPoint OnScreen(const QWidget* dialog, QPoint point);

// The image area's rectangle on the screen, sunken edge included.
Rect WindowRectOnScreen(const QWidget* area);
// Its client rectangle on the screen.
Rect ClientRectOnScreen(const CMyGraph* area);

// A point on the screen in the image area's client coordinates.
QPointF InClient(const CMyGraph* area, QPoint onScreen);
