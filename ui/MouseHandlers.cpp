// The pointer over the image area: the hand cursor, the red, green and blue
// values of the displayed pixel (the image's own, at any zoom), panning a
// large preview by dragging, Ctrl+wheel zooming about the pointer, and the
// selection tool's shapes where one is attached (a press it takes does not pan).
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
#include <QGuiApplication>

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

// A point on the screen in the image area's client coordinates (device pixels).
QPointF InClient(const CMyGraph* area, QPoint onScreen) {
    const Rect client = ClientRectOnScreen(area);
    return QPointF(onScreen.x() - client.left, onScreen.y() - client.top);
}

} // namespace

void CTamrelDlg::OnLButtonDown(QPoint point, Qt::KeyboardModifiers keys) {
    const QPoint p = OnScreen(this, point);
    if (!WindowRectOnScreen(ImageArea).Contains(ToPoint(p))) {
        return;
    }
    if (SelectionOverlay* overlay = ImageOverlay();
        overlay && overlay->Press(InClient(ImageArea, p), keys)) {
        return; // the press holds a shape, or draws one
    }
    DragLastX = p.x();
    DragLastY = p.y();
    Dragging = 1;
}

void CTamrelDlg::OnLButtonUp(QPoint point) {
    Dragging = 0;
    if (SelectionOverlay* overlay = ImageOverlay()) {
        overlay->Release(InClient(ImageArea, OnScreen(this, point)));
    }
}

bool CTamrelDlg::OnCtrlWheel(QPoint point, int angleDelta) {
    constexpr int kEighthsPerStep = 120; // one notch of a wheel
    const QPoint p = OnScreen(this, point);
    if (!WindowRectOnScreen(ImageArea).Contains(ToPoint(p))) {
        return false;
    }
    wheelDelta_ += angleDelta;
    const int steps = wheelDelta_ / kEighthsPerStep;
    wheelDelta_ -= steps * kEighthsPerStep;
    if (steps != 0) {
        ZoomAt(steps, InClient(ImageArea, p).toPoint());
    }
    return true;
}

void CTamrelDlg::OnMouseLeave() {
    Dragging = 0;
    lastPointer_.reset();
}

void CTamrelDlg::OnMouseMove(QPoint point) {
    lastPointer_ = point;
    const QPoint p = OnScreen(this, point);
    std::optional<std::uint32_t> reading;
    if (!WindowRectOnScreen(ImageArea).Contains(ToPoint(p))) {
        setCursor(ArrowCursor);
        Dragging = 0;
    } else {
        SelectionOverlay* overlay = ImageOverlay();
        const QPointF client = InClient(ImageArea, p);
        const bool shaping = overlay && overlay->Move(client);
        const auto shapeCursor =
            overlay && !Dragging ? overlay->CursorAt(client, QGuiApplication::keyboardModifiers())
                                 : std::nullopt;
        setCursor(shapeCursor ? QCursor(*shapeCursor) : HandCursor);
        bool panned = false;
        if (Dragging && !shaping) {
            panned = PanStep(thePreviewState, p.x() - DragLastX, p.y() - DragLastY);
            if (panned) {
                ImageArea->update();
                FollowPreviewView();
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
