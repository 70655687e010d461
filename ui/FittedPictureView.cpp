// Painting is kept cheap for drags: the picture is scaled once per view size
// into a pixmap, and the selection tool repaints only the old and the new
// place of what moved, so a drag repaints in a few milliseconds.
#include "ui/FittedPictureView.h"

#include <QMouseEvent>
#include <QPainter>

FittedPictureView::FittedPictureView(QWidget* parent, const Look& look)
    : QWidget(parent), look_(look) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding); // the room the rest leaves
}

void FittedPictureView::ShowBounds(const std::optional<RectF>& bounds) {
    shown_ = bounds.has_value();
    fitted_ = {};
    overlay_.Tool().Abandon();
    overlay_.Tool().SetBounds(bounds.value_or(RectF{}));
    Fit();
    update();
}

void FittedPictureView::ShowPicture(const QImage& picture) {
    picture_ = picture;
    fitted_ = {};
    update();
}

void FittedPictureView::Fit() {
    overlay_.SetMapping(shown_ ? FitMapping(overlay_.Tool().Bounds(), width(), height())
                               : ViewMapping{});
}

void FittedPictureView::resizeEvent(QResizeEvent* event) {
    fitted_ = {};
    Fit();
    QWidget::resizeEvent(event);
}

void FittedPictureView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.fillRect(rect(), palette().brush(look_.ground));
    if (!shown_) {
        return;
    }
    const QRect shown = overlay_.BoundsRect();
    if (picture_.isNull()) {
        painter.fillRect(shown, look_.blank);
    } else {
        if (fitted_.size() != shown.size()) {
            fitted_ = QPixmap::fromImage(
                picture_.scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        }
        painter.drawPixmap(shown.topLeft(), fitted_);
    }
    overlay_.Paint(painter);
}

void FittedPictureView::mousePressEvent(QMouseEvent* event) {
    if (shown_ && event->button() == Qt::LeftButton) {
        overlay_.Press(event->position(), event->modifiers());
    }
}

void FittedPictureView::mouseMoveEvent(QMouseEvent* event) {
    if (!shown_ || overlay_.Move(event->position())) {
        return;
    }
    setCursor(overlay_.CursorAt(event->position(), event->modifiers()).value_or(look_.freeCursor));
}

void FittedPictureView::mouseReleaseEvent(QMouseEvent* event) {
    if (shown_ && event->button() == Qt::LeftButton) {
        overlay_.Release(event->position());
    }
}
