// Draws the three tone curves: entry i of a table at (i + 8, 263 - entry).
#include "ui/CurvePlot.h"

#include "platform/GdiDraw.h"

#include <QPainter>

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kCurveColours[kChannelCount] = {0x0000FF, 0x00FF00, 0xFF0000}; // 0x00BBGGRR
constexpr int kCosmeticWidth = 0; // one pixel whatever the transformation

// From the bottom-left pixel up to entry 0, through every entry, and one step
// right so that the line, which excludes its end point, sets entry 255 too.
void DrawCurve(QPainter& dc, const GammaTable& table) {
    LinePen pen;
    pen.MoveTo(kPlotOrigin, kPlotBottom);
    for (int i = 0; i < static_cast<int>(kGammaTableSize); ++i) {
        pen.LineTo(dc, i + kPlotOrigin, kPlotBottom - table[i]);
    }
    const int last = table[kGammaTableSize - 1];
    pen.LineTo(dc, kPlotFrameRight - 1, kPlotBottom - last);
}

} // namespace

void DrawCurves(QPainter& dc, const QRect& client, const GammaTableSet& tables) {
    FillSolidRect(dc, client.left(), client.top(), client.left() + client.width(),
                  client.top() + client.height(), kWhite);
    const QPen oldPen = dc.pen();
    const QBrush oldBrush = dc.brush();
    dc.setPen(QPen(Qt::black, kCosmeticWidth));
    dc.setBrush(Qt::NoBrush);
    DrawRectangleOutline(dc, kPlotFrameLeft, kPlotFrameLeft, kPlotFrameRight, kPlotFrameRight);
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        dc.setPen(QPen(ColorFromRef(kCurveColours[ch]), kCosmeticWidth));
        DrawCurve(dc, tables[ch]);
    }
    dc.setPen(oldPen);
    dc.setBrush(oldBrush);
}

void DrawCurvePlot(QPainter& dc, const QRect* client, QWidget*, int) {
    DrawCurves(dc, *client, theGammaTables);
}
