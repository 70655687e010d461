// The pointer over the image area: the hand cursor, the red, green and blue
// values of the displayed pixel, and panning a large preview by dragging.
#include "image/preview/PreviewState.h"
#include "image/preview/Readout.h"
#include "res/Resource.h"
#include "ui/CMyGraph.h"
#include "ui/DeviceScale.h"
#include "ui/ImageView.h"
#include "ui/QtGeometry.h"
#include "ui/SelectionOverlay.h"
#include "ui/TamrelDlg.h"

#include <QCursor>

namespace {

// Positions are in device pixels, as the preview is (see DeviceScale.h).
QPoint DeviceOnScreen(const QWidget* w, QPoint logical) {
    return ToDevice(w->mapToGlobal(QPointF(logical)), DeviceScaleOf(w));
}

// The image area's rectangle on the screen, sunken edge included.
Rect WindowRectOnScreen(const QWidget* area) {
    return ToRect(
        QRect(DeviceOnScreen(area, QPoint(0, 0)), ToDevice(area->size(), DeviceScaleOf(area))));
}

Rect ClientRectOnScreen(const CMyGraph* area) {
    const QRect client = area->contentsRect();
    return ToRect(QRect(DeviceOnScreen(area, client.topLeft()),
                        ToDevice(client.size(), DeviceScaleOf(area))));
}

// A point of the dialog, in device pixels, on the screen.
QPoint OnScreen(const QWidget* dialog, QPoint point) {
    return DeviceOnScreen(dialog, QPoint(0, 0)) + point;
}

} // namespace

QPointF CTamrelDlg::ImageClientAt(QPoint dialogPoint) const {
    const QPoint p = OnScreen(this, dialogPoint);
    const Rect client = ClientRectOnScreen(ImageArea);
    return QPointF(p.x() - client.left, p.y() - client.top);
}

// A press on a film's rectangle, or anywhere while a pick is drawn, is the
// selection tool's; any other press over the image pans it.
void CTamrelDlg::OnLButtonDown(QPoint point) {
    const QPoint p = OnScreen(this, point);
    if (WindowRectOnScreen(ImageArea).Contains(ToPoint(p))) {
        if (filmOverlay_ && thePreviewState.PreviewBitmap &&
            filmOverlay_->Press(ImageClientAt(point), pointerModifiers_)) {
            Dragging = 0;
            return;
        }
        DragLastX = p.x();
        DragLastY = p.y();
        Dragging = 1;
    }
}

void CTamrelDlg::OnLButtonUp(QPoint point) {
    Dragging = 0;
    if (filmOverlay_) {
        filmOverlay_->Release(ImageClientAt(point));
    }
}

void CTamrelDlg::OnMouseLeave() {
    Dragging = 0;
    lastPointer_.reset();
}

void CTamrelDlg::OnMouseMove(QPoint point) {
    lastPointer_ = point;
    if (filmOverlay_ && filmOverlay_->Move(ImageClientAt(point))) {
        return; // a film's rectangle follows the pointer
    }
    const QPoint p = OnScreen(this, point);
    std::optional<std::uint32_t> reading;
    if (!WindowRectOnScreen(ImageArea).Contains(ToPoint(p))) {
        setCursor(ArrowCursor);
        Dragging = 0;
    } else {
        const auto shapeCursor =
            filmOverlay_ && thePreviewState.PreviewBitmap
                ? filmOverlay_->CursorAt(ImageClientAt(point), pointerModifiers_)
                : std::nullopt;
        setCursor(shapeCursor ? QCursor(*shapeCursor) : HandCursor);
        bool panned = false;
        if (Dragging) {
            panned = PanStep(thePreviewState, p.x() - DragLastX, p.y() - DragLastY);
            if (panned) {
                SyncFilmOverlay(); // the rectangles go with the image
                ImageArea->update();
            }
            DragLastX = p.x();
            DragLastY = p.y();
        }
        if (thePreviewState.PreviewBitmap && !panned &&
            ReadoutRect(thePreviewState, ClientRectOnScreen(ImageArea)).Contains(ToPoint(p))) {
            // The pixel under the pointer, in the area's client coordinates.
            const Rect client = ClientRectOnScreen(ImageArea);
            reading = ShownColourAt({p.x() - client.left, p.y() - client.top});
        }
    }
    const auto texts = ReadoutTexts(reading);
    ShowReadout(QString::fromStdString(texts[0]), QString::fromStdString(texts[1]),
                QString::fromStdString(texts[2]));
}

// A new image under a pointer at rest: the readout reads it now, not at the
// pointer's next move. Where the pointer is not known over the dialog, the
// old image's values go.
void CTamrelDlg::RefreshReadout() {
    std::optional<QPoint> pointer = lastPointer_;
    const QPoint local = mapFromGlobal(QCursor::pos());
    if (!pointer && rect().contains(local)) {
        pointer = ToDevice(QPointF(local), DeviceScaleOf(this));
    }
    if (pointer) {
        OnMouseMove(*pointer);
        return;
    }
    const auto texts = ReadoutTexts(std::nullopt);
    ShowReadout(QString::fromStdString(texts[0]), QString::fromStdString(texts[1]),
                QString::fromStdString(texts[2]));
}

void CTamrelDlg::ShowReadout(const QString& red, const QString& green, const QString& blue) {
    SetTextIfChanged(Label(IDC_PIXEL_R), red, red);
    SetTextIfChanged(Label(IDC_PIXEL_G), green, green);
    SetTextIfChanged(Label(IDC_PIXEL_B), blue, blue);
}
