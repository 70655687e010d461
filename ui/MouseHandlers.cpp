// The pointer over the image area: the hand cursor, the red, green and blue
// values of the displayed pixel, and panning a large preview by dragging.
#include "image/PreviewState.h"
#include "image/Readout.h"
#include "res/Resource.h"
#include "ui/CMyGraph.h"
#include "ui/TamrelDlg.h"

namespace {

Point ToPoint(QPoint p) {
    return {p.x(), p.y()};
}

Rect ToRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

// The image area's rectangle on the screen, sunken edge included.
Rect WindowRectOnScreen(const QWidget* area) {
    return ToRect(QRect(area->mapToGlobal(QPoint(0, 0)), area->size()));
}

Rect ClientRectOnScreen(const CMyGraph* area) {
    const QRect client = area->contentsRect();
    return ToRect(QRect(area->mapToGlobal(client.topLeft()), client.size()));
}

} // namespace

void CTamrelDlg::OnLButtonDown(QPoint point) {
    const QPoint p = mapToGlobal(point);
    if (WindowRectOnScreen(ImageArea).Contains(ToPoint(p))) {
        DragLastX = p.x();
        DragLastY = p.y();
        Dragging = 1;
    }
}

void CTamrelDlg::OnLButtonUp(QPoint) {
    Dragging = 0;
}

void CTamrelDlg::OnMouseLeave() {
    Dragging = 0;
}

void CTamrelDlg::OnMouseMove(QPoint point) {
    const QPoint p = mapToGlobal(point);
    std::optional<std::uint32_t> reading;
    if (!WindowRectOnScreen(ImageArea).Contains(ToPoint(p))) {
        setCursor(ArrowCursor);
        Dragging = 0;
    } else {
        setCursor(HandCursor);
        bool panned = false;
        if (Dragging) {
            panned = PanStep(thePreviewState, p.x() - DragLastX, p.y() - DragLastY);
            if (panned) {
                ImageArea->update();
            }
            DragLastX = p.x();
            DragLastY = p.y();
        }
        if (thePreviewState.PreviewBitmap && !panned &&
            ReadoutRect(thePreviewState, ClientRectOnScreen(ImageArea)).Contains(ToPoint(p))) {
            // The pixel under the pointer, in the area's client coordinates.
            const QPoint client = ImageArea->mapFromGlobal(p) - ImageArea->contentsRect().topLeft();
            reading = PreviewColourAt(thePreviewState, ToPoint(client));
        }
    }
    const auto texts = ReadoutTexts(reading);
    ShowReadout(QString::fromStdString(texts[0]), QString::fromStdString(texts[1]),
                QString::fromStdString(texts[2]));
}

void CTamrelDlg::ShowReadout(const QString& red, const QString& green, const QString& blue) {
    SetTextIfChanged(Label(IDC_PIXEL_R), red, red);
    SetTextIfChanged(Label(IDC_PIXEL_G), green, green);
    SetTextIfChanged(Label(IDC_PIXEL_B), blue, blue);
}
