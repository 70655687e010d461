// As the scan dialog's bed: the picture is scaled once per view size into a
// pixmap, so a corner drag repaints only the pixmap, the quadrilateral and
// the marks (a few milliseconds for the 288 boxes of an IT8 chart).
#include "ui/ChartView.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

constexpr int kPreferredWidth = 560;
constexpr int kPreferredHeight = 420;
constexpr int kMinimumWidth = 320;
constexpr int kMinimumHeight = 240;
constexpr std::size_t kCornersShape = 0;
constexpr std::size_t kFirstMark = 1;

QuadCorners QuadOf(const ChartCorners& corners) {
    QuadCorners quad{};
    for (std::size_t i = 0; i < corners.size(); ++i) {
        quad[i] = {corners[i].x, corners[i].y};
    }
    return quad;
}

} // namespace

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chartView"));
    setAccessibleName(QStringLiteral("チャートの画像と四隅"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setToolTip(QStringLiteral("四隅のハンドルをパッチの格子の角へドラッグします。\n"
                              "内側をドラッグすると全体が動きます。"));
    overlay_.Changed = [this](std::size_t shape) {
        if (shape == kCornersShape && CornersChanged) {
            CornersChanged(Corners());
        }
    };
}

QSize ChartView::sizeHint() const {
    return {kPreferredWidth, kPreferredHeight};
}

void ChartView::SetPicture(const QImage& picture) {
    picture_ = picture;
    fitted_ = {};
    overlay_.Tool().Abandon();
    overlay_.Tool().SetBounds({0, 0, double(picture.width()), double(picture.height())});
    Fit();
    update();
}

void ChartView::SetCorners(const ChartCorners& corners) {
    overlay_.SetShape(kCornersShape, Shape::Quad(QuadOf(corners)));
}

ChartCorners ChartView::Corners() const {
    const std::vector<Shape>& shapes = overlay_.Tool().Shapes();
    ChartCorners corners{};
    if (!shapes.empty()) {
        for (std::size_t i = 0; i < corners.size(); ++i) {
            corners[i] = {shapes[kCornersShape].quad[i].x, shapes[kCornersShape].quad[i].y};
        }
    }
    return corners;
}

void ChartView::SetMarks(const std::vector<MarkedPatch>& marks) {
    std::vector<Shape> shapes = overlay_.Tool().Shapes();
    shapes.resize(std::min(shapes.size(), kFirstMark));
    for (std::size_t i = 0; i < marks.size(); ++i) {
        shapes.push_back(Shape::Mark(QuadOf(marks[i].outline)));
        const auto [r, g, b] = MarkColour(marks[i].mark);
        overlay_.SetStyle(kFirstMark + i, ShapeStyle{QColor(r, g, b), false});
    }
    overlay_.Tool().SetShapes(std::move(shapes));
    overlay_.Repaint();
}

void ChartView::Fit() {
    overlay_.SetMapping(picture_.isNull()
                            ? ViewMapping{}
                            : FitMapping(overlay_.Tool().Bounds(), width(), height()));
}

QRect ChartView::PictureRect() const {
    const RectF view = overlay_.Mapping().ToViewRect(overlay_.Tool().Bounds());
    const QPoint topLeft(int(std::lround(view.left)), int(std::lround(view.top)));
    const QPoint end(int(std::lround(view.right)), int(std::lround(view.bottom)));
    return QRect(topLeft, end - QPoint(1, 1));
}

void ChartView::resizeEvent(QResizeEvent* event) {
    fitted_ = {};
    Fit();
    QWidget::resizeEvent(event);
}

void ChartView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.fillRect(rect(), palette().dark());
    if (picture_.isNull()) {
        return;
    }
    const QRect shown = PictureRect();
    if (fitted_.size() != shown.size()) {
        fitted_ = QPixmap::fromImage(
            picture_.scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    painter.drawPixmap(shown.topLeft(), fitted_);
    overlay_.Paint(painter);
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    if (!picture_.isNull() && event->button() == Qt::LeftButton) {
        overlay_.Press(event->position(), event->modifiers());
    }
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    if (picture_.isNull() || overlay_.Move(event->position())) {
        return;
    }
    setCursor(overlay_.CursorAt(event->position(), event->modifiers()).value_or(Qt::ArrowCursor));
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (!picture_.isNull() && event->button() == Qt::LeftButton) {
        overlay_.Release(event->position());
    }
}
