// Shapes are painted with whole-pixel corners and one-pixel pens, handles as
// squares of 7 pixels (scaled with the screen); a change repaints the old
// and the new place of the shape with the handles' margin, nothing else.
#include "ui/SelectionOverlay.h"

#include <QPainter>
#include <QPolygon>
#include <QRegion>
#include <QWidget>

#include <cmath>

namespace {

constexpr int kHandleHalfPixels = 3;    // the handles are squares of 7 pixels
constexpr int kRepaintMarginPixels = 6; // handles and the pen beyond the shape
const QColor kOutsideShade(0, 0, 0, 110);

int Whole(double v) {
    return static_cast<int>(std::lround(v));
}

QPoint WholePoint(PointF p) {
    return {Whole(p.x), Whole(p.y)};
}

// The rectangle's outline as QPainter draws it: the right and bottom edges
// on the last pixel inside.
QRect OutlineOf(const RectF& view) {
    return QRect(QPoint(Whole(view.left), Whole(view.top)),
                 QPoint(Whole(view.right) - 1, Whole(view.bottom) - 1));
}

Qt::CursorShape CursorOfGrip(unsigned grip) {
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
    default:
        return Qt::SizeAllCursor;
    }
}

PointF ToPointF(QPointF p) {
    return {p.x(), p.y()};
}

} // namespace

void SelectionOverlay::SetShape(std::size_t index, const Shape& shape) {
    const std::vector<Shape> before = tool_.Shapes();
    tool_.SetShape(index, shape);
    RepaintChanges(before);
}

void SelectionOverlay::SetStyle(std::size_t index, const ShapeStyle& style) {
    if (styles_.size() <= index) {
        styles_.resize(index + 1);
    }
    styles_[index] = style;
    Repaint();
}

ShapeStyle SelectionOverlay::StyleOf(std::size_t index) const {
    return index < styles_.size() ? styles_[index] : ShapeStyle{};
}

void SelectionOverlay::SetMapping(const ViewMapping& mapping) {
    if (mapping == mapping_) {
        return;
    }
    mapping_ = mapping;
    Repaint();
}

void SelectionOverlay::SetPlacement(QPointF origin, double unitsPerPixel) {
    origin_ = origin;
    unitsPerPixel_ = unitsPerPixel > 0 ? unitsPerPixel : 1;
    tool_.SetReach(SelectionTool::kDefaultReach * unitsPerPixel_);
}

void SelectionOverlay::Repaint() {
    host_->update();
}

QRect SelectionOverlay::BoundsRect() const {
    return OutlineOf(mapping_.ToViewRect(tool_.Bounds()));
}

QRect SelectionOverlay::ViewRectOf(const Shape& shape) const {
    const RectF view = mapping_.ToViewRect(shape.Bounds());
    return QRect(QPoint(Whole(view.left), Whole(view.top)),
                 QPoint(Whole(view.right), Whole(view.bottom)));
}

void SelectionOverlay::RepaintChanges(const std::vector<Shape>& before) {
    const std::vector<Shape>& now = tool_.Shapes();
    const int margin = Whole(kRepaintMarginPixels * unitsPerPixel_);
    for (std::size_t i = 0; i < std::max(before.size(), now.size()); ++i) {
        QRect changed;
        if (i < before.size() && (i >= now.size() || before[i] != now[i])) {
            changed = ViewRectOf(before[i]);
        }
        if (i < now.size() && (i >= before.size() || before[i] != now[i])) {
            changed = changed.united(ViewRectOf(now[i]));
        }
        if (changed.isNull()) {
            continue;
        }
        changed.adjust(-margin, -margin, margin, margin);
        const QRectF inHost(origin_ + QPointF(changed.topLeft()) / unitsPerPixel_,
                            QSizeF(changed.size()) / unitsPerPixel_);
        host_->update(inHost.toAlignedRect().adjusted(-1, -1, 1, 1));
    }
}

void SelectionOverlay::Paint(QPainter& painter) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const std::vector<Shape>& shapes = tool_.Shapes();
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        PaintShape(painter, shapes[i], StyleOf(i));
    }
    painter.restore();
}

void SelectionOverlay::PaintShape(QPainter& painter, const Shape& shape,
                                  const ShapeStyle& style) const {
    const int half = Whole(kHandleHalfPixels * unitsPerPixel_);
    const QSize handle(2 * half, 2 * half);
    std::vector<QPoint> handles;
    painter.setPen(QPen(style.frame, std::max(1, Whole(unitsPerPixel_))));
    painter.setBrush(Qt::NoBrush);
    if (shape.kind == ShapeKind::Rectangle) {
        const QRect outline = OutlineOf(mapping_.ToViewRect(shape.rect));
        if (style.shadeOutside) {
            // The outline covers its right and bottom pixels; the bounds end before theirs.
            const QRect bounds = BoundsRect();
            const QRegion outside =
                QRegion(bounds).subtracted(QRegion(outline.adjusted(0, 0, 1, 1)));
            for (const QRect& part : outside) {
                painter.fillRect(part, kOutsideShade);
            }
        }
        painter.drawRect(outline);
        const QPoint mid = outline.center();
        handles = {outline.topLeft(),     {mid.x(), outline.top()},
                   outline.topRight(),    {outline.right(), mid.y()},
                   outline.bottomRight(), {mid.x(), outline.bottom()},
                   outline.bottomLeft(),  {outline.left(), mid.y()}};
    } else {
        QPolygon outline;
        for (const PointF corner : shape.quad) {
            outline << WholePoint(mapping_.ToView(corner));
        }
        painter.drawPolygon(outline);
        if (!shape.mark) {
            handles.assign(outline.begin(), outline.end());
        }
    }
    painter.setBrush(style.frame);
    for (const QPoint& at : handles) {
        painter.drawRect(QRect(at - QPoint(half, half), handle));
    }
}

bool SelectionOverlay::Press(QPointF at, Qt::KeyboardModifiers modifiers) {
    return tool_.Press(ToPointF(at), mapping_, modifiers.testFlag(kMoveKey));
}

bool SelectionOverlay::Move(QPointF at) {
    if (!tool_.Dragging()) {
        return false;
    }
    const std::vector<Shape> before = tool_.Shapes();
    const std::size_t index = *tool_.Held().shape;
    if (tool_.DragTo(ToPointF(at), mapping_)) {
        RepaintChanges(before);
        if (Changed) {
            Changed(index);
        }
    }
    return true;
}

bool SelectionOverlay::Release(QPointF at) {
    if (!tool_.Dragging()) {
        return false;
    }
    const std::vector<Shape> before = tool_.Shapes();
    const std::size_t index = *tool_.Held().shape;
    if (tool_.Release(ToPointF(at), mapping_)) {
        RepaintChanges(before);
        if (Changed) {
            Changed(index);
        }
    }
    if (Finished) {
        Finished(index);
    }
    return true;
}

std::optional<Qt::CursorShape> SelectionOverlay::CursorAt(QPointF at,
                                                          Qt::KeyboardModifiers modifiers) const {
    const Hold hold = tool_.HoldAt(ToPointF(at), mapping_, modifiers.testFlag(kMoveKey));
    if (!hold.shape) {
        return std::nullopt;
    }
    if (hold.draws) {
        return Qt::CrossCursor;
    }
    return hold.corner >= 0 ? Qt::SizeAllCursor : CursorOfGrip(hold.grip);
}
