// A frame's rectangle is kept in whole pixels: a drag's edges are rounded
// when it ends, as the tool writes a frame.
#include "ui/StripView.h"

#include "image/preview/PixelRects.h"

#include <QMouseEvent>

#include <cmath>

namespace {

constexpr int kPreferredWidth = 720;
constexpr int kPreferredHeight = 150;
constexpr int kMinimumWidth = 320;
constexpr int kMinimumHeight = 80;
// A press and release closer than this (view pixels) are a click.
constexpr double kClickReach = 3;
const QColor kChosenColour{0x30, 0xC0, 0xFF}; // apart from the frames' orange

} // namespace

StripView::StripView(QWidget* parent)
    : FittedPictureView(parent, {QPalette::Dark, {}, Qt::CrossCursor}) {
    setObjectName(QStringLiteral("stripView"));
    setAccessibleName(QStringLiteral("ストリップとコマ"));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    setToolTip(QStringLiteral("コマの辺や角をドラッグして合わせます。Ctrl+ドラッグで移動、\n"
                              "何もない所をドラッグすると新しいコマ、クリックでコマを選びます。"));
    overlay_.Finished = [this](std::size_t) {
        const std::vector<PixelRect> before = frames_;
        SetFrames(Frames()); // rounded to whole pixels
        if (frames_ != before && FramesEdited) {
            FramesEdited();
        }
    };
}

QSize StripView::sizeHint() const {
    return {kPreferredWidth, kPreferredHeight};
}

void StripView::SetStrip(const QImage& picture, std::int32_t width, std::int32_t height) {
    ShowPicture(picture);
    ShowBounds(RectF{0, 0, double(width), double(height)});
}

void StripView::SetFrames(const std::vector<PixelRect>& frames) {
    frames_ = frames;
    std::vector<Shape> shapes;
    for (const PixelRect& frame : frames) {
        shapes.push_back(Shape::Rectangle(RectOfPixels(frame)));
    }
    overlay_.Tool().SetShapes(std::move(shapes));
    overlay_.Tool().SetDrawTarget(frames.size()); // a drag draws one more
    if (chosen_ && *chosen_ >= frames.size()) {
        chosen_.reset();
    }
    StyleFrames();
}

std::vector<PixelRect> StripView::Frames() const {
    std::vector<PixelRect> frames;
    for (const Shape& shape : overlay_.Tool().Shapes()) {
        frames.push_back(PixelsOf(shape.rect));
    }
    return frames;
}

void StripView::Choose(std::optional<std::size_t> frame) {
    chosen_ = frame;
    StyleFrames();
}

void StripView::StyleFrames() {
    for (std::size_t i = 0; i < overlay_.Tool().Shapes().size(); ++i) {
        ShapeStyle style;
        if (chosen_ == i) {
            style.frame = kChosenColour;
        }
        overlay_.SetStyle(i, style);
    }
    overlay_.Repaint();
}

void StripView::mousePressEvent(QMouseEvent* event) {
    pressedAt_ = event->position();
    FittedPictureView::mousePressEvent(event);
}

void StripView::mouseReleaseEvent(QMouseEvent* event) {
    FittedPictureView::mouseReleaseEvent(event);
    const QPointF moved = event->position() - pressedAt_;
    if (!Shown() || event->button() != Qt::LeftButton ||
        std::hypot(moved.x(), moved.y()) > kClickReach) {
        return;
    }
    const PointF at = overlay_.Mapping().ToPlane({event->position().x(), event->position().y()});
    const std::vector<Shape>& shapes = overlay_.Tool().Shapes();
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        if (shapes[i].rect.Contains(at) && FrameClicked) {
            FrameClicked(i);
            return;
        }
    }
}
