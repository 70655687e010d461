// Draws the three tone curves: entry i of a table at (i + 8, 263 - entry).
#include "ui/CurvePlot.h"

#include "curve/FilmTables.h"
#include "image/preview/PreviewState.h"
#include "platform/GdiDraw.h"
#include "ui/DeviceScale.h"
#include "ui/HistogramView.h"
#include "ui/WindowChannels.h"

#include <QPainter>

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kCurveColours[kChannelCount] = {0x0000FF, 0x00FF00, 0xFF0000}; // 0x00BBGGRR
constexpr int kCosmeticWidth = 0; // one pixel whatever the transformation

// From the bottom-left pixel up to entry 0, through every entry, and one step
// right so that the line, which excludes its end point, sets entry 255 too.
// Points are the device pixels of the plot's logical pixels, so on a scaled
// screen the same line is drawn through more pixels, still unbroken.
void DrawCurve(QPainter& dc, const GammaTable& table, double scale) {
    LinePen pen;
    pen.MoveTo(ToDevice(kPlotOrigin, scale), ToDevice(kPlotBottom, scale));
    for (int i = 0; i < static_cast<int>(kGammaTableSize); ++i) {
        pen.LineTo(dc, ToDevice(i + kPlotOrigin, scale), ToDevice(kPlotBottom - table[i], scale));
    }
    const int last = table[kGammaTableSize - 1];
    pen.LineTo(dc, ToDevice(kPlotFrameRight - 1, scale), ToDevice(kPlotBottom - last, scale));
}

// The frame's lines lie on the first device pixel of logical pixels 7 and 264.
void DrawFrame(QPainter& dc, double scale) {
    const int first = ToDevice(kPlotFrameLeft, scale);
    const int last = ToDevice(kPlotFrameRight - 1, scale);
    DrawRectangleOutline(dc, first, first, last + 1, last + 1);
}

} // namespace

void DrawCurves(QPainter& dc, const QRect& client, const GammaTableSet& tables, double scale,
                const LevelHistogram* histogram) {
    const DevicePixelPainting devicePixels(dc, scale);
    const QRect area = ToDevice(client, scale);
    FillSolidRect(dc, area.left(), area.top(), area.left() + area.width(),
                  area.top() + area.height(), kWhite);
    if (histogram) {
        DrawHistogram(dc, *histogram, scale);
    }
    const QPen oldPen = dc.pen();
    const QBrush oldBrush = dc.brush();
    dc.setPen(QPen(Qt::black, kCosmeticWidth));
    dc.setBrush(Qt::NoBrush);
    DrawFrame(dc, scale);
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        dc.setPen(QPen(ColorFromRef(kCurveColours[ch]), kCosmeticWidth));
        DrawCurve(dc, tables[ch], scale);
    }
    dc.setPen(oldPen);
    dc.setBrush(oldBrush);
}

// A negative's tables fall; the plot shows the curve that shapes its
// positive, over the positive's levels.
void DrawCurvePlot(QPainter& dc, const QRect* client, QWidget*, int) {
    const auto histogram = HistogramToDraw(theHistogramView, thePreviewState.Picture(),
                                           theGammaTables, theChannelParams);
    if (!HasFilm(theChannelParams)) {
        DrawCurves(dc, *client, theGammaTables, DeviceScaleOf(dc),
                   histogram ? &*histogram : nullptr);
        return;
    }
    DrawCurves(dc, *client, CurveTables(theChannelParams), DeviceScaleOf(dc),
               histogram ? &*histogram : nullptr);
}
