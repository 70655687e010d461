// The curve plot: a white 272 x 272 client area, a black frame around a
// 256 x 256 plot, and the red, green and blue tables drawn in that order.
#pragma once

#include "curve/ChannelParams.h"
#include "image/kernels/Histogram.h"
#include "ui/PlotGeometry.h"

#include <QRect>

class QPainter;
class QWidget;

// The graph area's paint callback: plots the three process-wide tables, over
// the histogram the user asked for, if any.
void DrawCurvePlot(QPainter& dc, const QRect* client, QWidget* parent, int id);

// The same plot of any three tables, on a device of `scale` device pixels per
// logical pixel; leaves the painter's pen, brush and transformation as found.
// A histogram, when given, is drawn inside the frame under the curves.
void DrawCurves(QPainter& dc, const QRect& client, const GammaTableSet& tables, double scale = 1.0,
                const LevelHistogram* histogram = nullptr);
