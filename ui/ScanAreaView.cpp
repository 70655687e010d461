// Painting is kept cheap for drags: the preview is scaled once per view size
// into a pixmap, and the selection tool repaints only the old and the new
// place of the rectangle, so a drag repaints in a few ms.
#include "ui/ScanAreaView.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

constexpr int kPreferredWidth = 340; // an A4 bed at about 1.5 pixels a millimetre
constexpr int kPreferredHeight = 440;
constexpr int kMinimumWidth = 300;
constexpr int kMinimumHeight = 360;
constexpr std::size_t kAreaShape = 0;
const QColor kBedColour(0xE8, 0xE8, 0xE8);

RectF RectOfArea(const ScanArea& area) {
    return {area.left, area.top, area.right, area.bottom};
}

} // namespace

ScanAreaView::ScanAreaView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("scanArea"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding); // the room the choices leave
    setToolTip(QStringLiteral("ドラッグで読み取り範囲を描きます（範囲の内側からでも）。\n"
                              "縁や角をドラッグすると大きさが変わり、\n"
                              "Ctrl を押しながら内側をドラッグすると範囲が動きます。\n"
                              "ダブルクリックで全体に戻ります。"));
    overlay_.SetStyle(kAreaShape, {ShapeStyle{}.frame, true});
    overlay_.Tool().SetDrawTarget(kAreaShape);
    overlay_.Changed = [this](std::size_t) {
        if (AreaChanged) {
            AreaChanged(Area());
        }
    };
}

QSize ScanAreaView::sizeHint() const {
    return {kPreferredWidth, kPreferredHeight};
}

void ScanAreaView::SetBed(std::optional<ScanArea> bed) {
    bed_ = bed;
    fitted_ = {};
    overlay_.Tool().Abandon();
    overlay_.Tool().SetShapes({});
    overlay_.Tool().SetBounds(bed ? RectOfArea(*bed) : RectF{});
    FitBed();
    update();
}

void ScanAreaView::SetPreview(const QImage& preview) {
    preview_ = preview;
    fitted_ = {};
    update();
}

void ScanAreaView::SetArea(const ScanArea& area) {
    if (bed_) {
        overlay_.SetShape(kAreaShape, Shape::Rectangle(RectOfArea(area)));
    }
}

ScanArea ScanAreaView::Area() const {
    const auto& shapes = overlay_.Tool().Shapes();
    if (shapes.empty()) {
        return bed_.value_or(ScanArea{});
    }
    const RectF& r = shapes[kAreaShape].rect;
    return {r.left, r.top, r.right, r.bottom};
}

void ScanAreaView::FitBed() {
    overlay_.SetMapping(bed_ ? FitMapping(RectOfArea(*bed_), width(), height()) : ViewMapping{});
}

QRect ScanAreaView::BedRect() const {
    const RectF view = overlay_.Mapping().ToViewRect(overlay_.Tool().Bounds());
    const QPoint topLeft(static_cast<int>(std::lround(view.left)),
                         static_cast<int>(std::lround(view.top)));
    const QPoint end(static_cast<int>(std::lround(view.right)),
                     static_cast<int>(std::lround(view.bottom)));
    return QRect(topLeft, end - QPoint(1, 1));
}

void ScanAreaView::resizeEvent(QResizeEvent* event) {
    fitted_ = {};
    FitBed();
    QWidget::resizeEvent(event);
}

void ScanAreaView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.fillRect(rect(), palette().window());
    if (!bed_) {
        return;
    }
    const QRect bed = BedRect();
    if (!preview_.isNull() && fitted_.size() != bed.size()) {
        fitted_ = QPixmap::fromImage(
            preview_.scaled(bed.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    if (preview_.isNull()) {
        painter.fillRect(bed, kBedColour);
    } else {
        painter.drawPixmap(bed.topLeft(), fitted_);
    }
    overlay_.Paint(painter);
}

void ScanAreaView::mousePressEvent(QMouseEvent* event) {
    if (bed_ && event->button() == Qt::LeftButton) {
        overlay_.Press(event->position(), event->modifiers());
    }
}

void ScanAreaView::mouseMoveEvent(QMouseEvent* event) {
    if (!bed_ || overlay_.Move(event->position())) {
        return;
    }
    setCursor(overlay_.CursorAt(event->position(), event->modifiers()).value_or(Qt::CrossCursor));
}

void ScanAreaView::mouseReleaseEvent(QMouseEvent* event) {
    if (bed_ && event->button() == Qt::LeftButton) {
        overlay_.Release(event->position());
    }
}

void ScanAreaView::mouseDoubleClickEvent(QMouseEvent* event) {
    overlay_.Tool().Abandon();
    if (bed_ && event->button() == Qt::LeftButton && WholeBedAsked) {
        WholeBedAsked();
    }
}
