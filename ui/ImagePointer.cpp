// Screen positions, in device pixels, decide what is under the pointer; the
// arithmetic of the readout, the pan and the zoom is the core's
// (image/preview/), and the zoomed picture is made when the area is painted.
#include "ui/ImagePointer.h"

#include "image/preview/PreviewState.h"
#include "image/preview/PreviewZoom.h"
#include "image/preview/Readout.h"
#include "ui/CMyGraph.h"
#include "ui/DeviceScale.h"
#include "ui/ImageView.h"
#include "ui/PointerGeometry.h"
#include "ui/QtGeometry.h"
#include "ui/SelectionOverlay.h"
#include "ui/SpokenLabel.h"

#include <QGuiApplication>
#include <QLabel>

namespace {

constexpr int kEighthsPerStep = 120; // one notch of a wheel

} // namespace

void ImagePointer::Press(QPoint point, Qt::KeyboardModifiers keys) {
    const QPoint p = OnScreen(dialog_, point);
    if (!WindowRectOnScreen(area_).Contains(ToPoint(p))) {
        return;
    }
    if (SelectionOverlay* overlay = ImageOverlay();
        overlay && overlay->Press(InClient(area_, p), keys)) {
        return; // the press holds a shape, or draws one
    }
    pan_.lastX = p.x();
    pan_.lastY = p.y();
    pan_.dragging = 1;
}

void ImagePointer::Release(QPoint point) {
    pan_.dragging = 0;
    if (SelectionOverlay* overlay = ImageOverlay()) {
        overlay->Release(InClient(area_, OnScreen(dialog_, point)));
    }
}

bool ImagePointer::Wheel(QPoint point, int angleDelta) {
    const QPoint p = OnScreen(dialog_, point);
    if (!WindowRectOnScreen(area_).Contains(ToPoint(p))) {
        return false;
    }
    wheelDelta_ += angleDelta;
    const int steps = wheelDelta_ / kEighthsPerStep;
    wheelDelta_ -= steps * kEighthsPerStep;
    if (steps != 0) {
        ZoomAt(steps, InClient(area_, p).toPoint());
    }
    return true;
}

void ImagePointer::Leave() {
    pan_.dragging = 0;
    last_.reset();
}

void ImagePointer::Move(QPoint point) {
    last_ = point;
    const QPoint p = OnScreen(dialog_, point);
    if (!WindowRectOnScreen(area_).Contains(ToPoint(p))) {
        dialog_->setCursor(cursors_.arrow);
        pan_.dragging = 0;
        ShowReadout(std::nullopt);
        return;
    }
    SelectionOverlay* overlay = ImageOverlay();
    const QPointF client = InClient(area_, p);
    const bool shaping = overlay && overlay->Move(client);
    const auto shapeCursor = overlay && !pan_.dragging
                                 ? overlay->CursorAt(client, QGuiApplication::keyboardModifiers())
                                 : std::nullopt;
    dialog_->setCursor(shapeCursor ? QCursor(*shapeCursor) : cursors_.hand);
    const bool panned = pan_.dragging && !shaping && PanTo(p);
    std::optional<PixelLevels> reading;
    const Rect area = ClientRectOnScreen(area_);
    if (thePreviewState.PreviewBitmap && !panned &&
        ReadoutRect(thePreviewState, area).Contains(ToPoint(p))) {
        reading = ShownLevelsAt({p.x() - area.left, p.y() - area.top});
    }
    ShowReadout(reading);
}

bool ImagePointer::PanTo(QPoint p) {
    const bool panned = PanStep(thePreviewState, p.x() - pan_.lastX, p.y() - pan_.lastY);
    if (panned) {
        area_->update();
        FollowPreviewView();
    }
    pan_.lastX = p.x();
    pan_.lastY = p.y();
    return panned;
}

void ImagePointer::Refresh() {
    std::optional<QPoint> pointer = last_;
    const QPoint local = dialog_->mapFromGlobal(QCursor::pos());
    if (!pointer && dialog_->rect().contains(local)) {
        pointer = ToDevice(QPointF(local), DeviceScaleOf(dialog_));
    }
    if (pointer) {
        Move(*pointer);
    } else {
        ShowReadout(std::nullopt);
    }
}

void ImagePointer::ReadAgain() {
    if (last_) {
        Move(*last_);
    }
}

void ImagePointer::ShowReadout(const std::optional<PixelLevels>& levels) {
    const auto texts = LevelTexts(levels);
    for (std::size_t c = 0; c < readout_.size(); ++c) {
        const QString text = QString::fromStdString(texts[c]);
        SetTextIfChanged(readout_[c], text, text);
    }
}

void ImagePointer::ViewMoved() {
    area_->update();
    FollowPreviewView();
    Refresh();
}

void ImagePointer::ZoomToFit() {
    if (::ZoomToFit(thePreviewState)) {
        ViewMoved();
    }
}

void ImagePointer::ZoomActual() {
    if (ZoomOneToOne(thePreviewState)) {
        ViewMoved();
    }
}

void ImagePointer::ZoomAt(int steps, QPoint client) {
    if (ZoomAbout(thePreviewState, SteppedZoom(thePreviewState, steps), {client.x(), client.y()})) {
        ViewMoved();
    }
}
