// A corner drag repaints only the fitted picture, the quadrilateral and the
// marks (a few milliseconds for the 288 boxes of an IT8 chart).
#include "ui/ChartView.h"

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

ChartView::ChartView(QWidget* parent)
    : FittedPictureView(parent, {QPalette::Dark, {}, Qt::ArrowCursor}) {
    setObjectName(QStringLiteral("chartView"));
    setAccessibleName(QStringLiteral("チャートの画像と四隅"));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
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
    ShowPicture(picture);
    ShowBounds(picture.isNull() ? std::nullopt
                                : std::optional<RectF>(
                                      {0, 0, double(picture.width()), double(picture.height())}));
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
