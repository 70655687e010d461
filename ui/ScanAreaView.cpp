// Painting is kept cheap for drags: the preview is scaled once per view size
// into a pixmap, and a move repaints only the union of the old and the new
// rectangle (with the handles' margin), so a drag repaints in a few ms.
#include "ui/ScanAreaView.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

constexpr double kGripReach = 5;     // view pixels around an edge that take hold of it
constexpr int kHandleHalf = 3;       // the corner handles are squares of 7 pixels
constexpr int kRepaintMargin = 6;    // handles and the pen beyond the rectangle
constexpr int kPreferredWidth = 340; // an A4 bed at about 1.5 pixels a millimetre
constexpr int kPreferredHeight = 440;
constexpr int kMinimumWidth = 300;
constexpr int kMinimumHeight = 360;
const QColor kBedColour(0xE8, 0xE8, 0xE8);
const QColor kOutsideShade(0, 0, 0, 110);
const QColor kFrameColour(0xFF, 0xA0, 0x00); // seen on dark and light scans alike

Qt::CursorShape CursorOf(unsigned grip) {
    switch (grip) {
    case kGripLeft:
    case kGripRight:
        return Qt::SizeHorCursor;
    case kGripTop:
    case kGripBottom:
        return Qt::SizeVerCursor;
    case kGripLeft | kGripTop:
    case kGripRight | kGripBottom:
        return Qt::SizeFDiagCursor;
    case kGripRight | kGripTop:
    case kGripLeft | kGripBottom:
        return Qt::SizeBDiagCursor;
    case kGripInside:
        return Qt::SizeAllCursor;
    default:
        return Qt::CrossCursor;
    }
}

} // namespace

ScanAreaView::ScanAreaView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("scanArea"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding); // the room the choices leave
}

QSize ScanAreaView::sizeHint() const {
    return {kPreferredWidth, kPreferredHeight};
}

void ScanAreaView::SetBed(std::optional<BedArea> bed) {
    bed_ = bed;
    fitted_ = {};
    update();
}

void ScanAreaView::SetPreview(const QImage& preview) {
    preview_ = preview;
    fitted_ = {};
    update();
}

void ScanAreaView::SetArea(const BedArea& area) {
    MoveArea(area);
}

PreviewFit ScanAreaView::Fit() const {
    if (!bed_) {
        return {};
    }
    return FitBed(bed_->Width(), bed_->Height(), width(), height());
}

QRect ScanAreaView::AreaRect(const BedArea& area) const {
    const PreviewFit fit = Fit();
    const ViewPoint a = ViewOfMm(fit, area.left, area.top);
    const ViewPoint b = ViewOfMm(fit, area.right, area.bottom);
    return QRect(
        QPoint(static_cast<int>(std::lround(a.x)), static_cast<int>(std::lround(a.y))),
        QPoint(static_cast<int>(std::lround(b.x)) - 1, static_cast<int>(std::lround(b.y)) - 1));
}

ViewPoint ScanAreaView::MmAt(QPointF at) const {
    return MmOfView(Fit(), bed_->Width(), bed_->Height(), {at.x(), at.y()});
}

void ScanAreaView::MoveArea(const BedArea& area) {
    const QRect before = AreaRect(area_);
    area_ = area;
    const QRect after = AreaRect(area_);
    update(before.united(after).adjusted(-kRepaintMargin, -kRepaintMargin, kRepaintMargin,
                                         kRepaintMargin));
}

void ScanAreaView::resizeEvent(QResizeEvent* event) {
    fitted_ = {};
    QWidget::resizeEvent(event);
}

void ScanAreaView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.fillRect(rect(), palette().window());
    if (!bed_) {
        return;
    }
    const PreviewFit fit = Fit();
    const QRect bed(static_cast<int>(std::lround(fit.left)), static_cast<int>(std::lround(fit.top)),
                    static_cast<int>(std::lround(fit.width)),
                    static_cast<int>(std::lround(fit.height)));
    if (!preview_.isNull() && fitted_.size() != bed.size()) {
        fitted_ = QPixmap::fromImage(
            preview_.scaled(bed.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    if (preview_.isNull()) {
        painter.fillRect(bed, kBedColour);
    } else {
        painter.drawPixmap(bed.topLeft(), fitted_);
    }
    const QRect area = AreaRect(area_);
    const QRegion outside = QRegion(bed).subtracted(QRegion(area));
    for (const QRect& part : outside) {
        painter.fillRect(part, kOutsideShade);
    }
    painter.setPen(QPen(kFrameColour, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
    painter.setBrush(kFrameColour);
    for (const QPoint corner :
         {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight()}) {
        painter.drawRect(QRect(corner - QPoint(kHandleHalf, kHandleHalf),
                               QSize(2 * kHandleHalf, 2 * kHandleHalf)));
    }
}

void ScanAreaView::mousePressEvent(QMouseEvent* event) {
    if (!bed_ || event->button() != Qt::LeftButton) {
        return;
    }
    const QPointF at = event->position();
    grip_ = GripAt(Fit(), area_, {at.x(), at.y()}, kGripReach);
    pressMm_ = MmAt(at);
    pressArea_ = area_;
    beforePress_ = area_;
    drawing_ = grip_ == kGripNone;
    if (drawing_) {
        // A press outside the rectangle starts a new one; the drag pulls its
        // opposite corner.
        pressArea_ = SpannedArea(pressMm_, pressMm_);
        grip_ = kGripRight | kGripBottom;
    }
}

void ScanAreaView::Drag(QPointF at) {
    const ViewPoint mm = MmAt(at);
    const BedArea area = DragArea(pressArea_, grip_, mm.x - pressMm_.x, mm.y - pressMm_.y,
                                  bed_->Width(), bed_->Height());
    if (area == area_) {
        return;
    }
    MoveArea(area);
    if (AreaChanged) {
        AreaChanged(area_);
    }
}

void ScanAreaView::mouseMoveEvent(QMouseEvent* event) {
    if (!bed_) {
        return;
    }
    if (grip_ != kGripNone && (event->buttons() & Qt::LeftButton)) {
        Drag(event->position());
        return;
    }
    UpdateCursor(event->position());
}

void ScanAreaView::mouseReleaseEvent(QMouseEvent* event) {
    if (!bed_ || grip_ == kGripNone || event->button() != Qt::LeftButton) {
        return;
    }
    Drag(event->position());
    grip_ = kGripNone;
    const QRect drawn = AreaRect(area_);
    if (drawing_ && (drawn.width() < kGripReach || drawn.height() < kGripReach)) {
        // A click, not a drag: the rectangle stays as it was.
        MoveArea(beforePress_);
        if (AreaChanged) {
            AreaChanged(area_);
        }
    }
    drawing_ = false;
}

void ScanAreaView::mouseDoubleClickEvent(QMouseEvent* event) {
    grip_ = kGripNone;
    if (bed_ && event->button() == Qt::LeftButton && WholeBedAsked) {
        WholeBedAsked();
    }
}

void ScanAreaView::UpdateCursor(QPointF at) {
    setCursor(CursorOf(GripAt(Fit(), area_, {at.x(), at.y()}, kGripReach)));
}
