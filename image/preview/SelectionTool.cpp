// Hit testing happens in view pixels (a handle is as easy to take at any
// zoom), dragging in the picture's units: a moved part follows the pointer's
// travel since the press, so the shape never drifts from rounding on the way.
#include "image/preview/SelectionTool.h"

#include <algorithm>
#include <cmath>

namespace {

// Moves [low, high] by `d`, keeping its length within [boundLow, boundHigh].
void ShiftSpan(double& low, double& high, double d, double boundLow, double boundHigh) {
    const double length = high - low;
    low = std::clamp(low + d, boundLow, std::max(boundLow, boundHigh - length));
    high = low + length;
}

// `d` limited to [low, high]; `low` where the span is already too small.
double LimitedShift(double d, double low, double high) {
    return low > high ? low : std::clamp(d, low, high);
}

bool WithinReach(PointF a, PointF b, double reach) {
    return std::abs(a.x - b.x) <= reach && std::abs(a.y - b.y) <= reach;
}

} // namespace

RectF Shape::Bounds() const {
    if (kind == ShapeKind::Rectangle) {
        return rect;
    }
    RectF bounds{quad[0].x, quad[0].y, quad[0].x, quad[0].y};
    for (const PointF corner : quad) {
        bounds = UnitedRect(bounds, {corner.x, corner.y, corner.x, corner.y});
    }
    return bounds;
}

unsigned RectGripAt(const RectF& r, PointF at, double reach) {
    const bool acrossX = at.x >= r.left - reach && at.x <= r.right + reach;
    const bool acrossY = at.y >= r.top - reach && at.y <= r.bottom + reach;
    if (!acrossX || !acrossY) {
        return kGripNone;
    }
    unsigned grip = kGripNone;
    if (std::abs(at.x - r.left) <= reach) {
        grip |= kGripLeft;
    } else if (std::abs(at.x - r.right) <= reach) {
        grip |= kGripRight;
    }
    if (std::abs(at.y - r.top) <= reach) {
        grip |= kGripTop;
    } else if (std::abs(at.y - r.bottom) <= reach) {
        grip |= kGripBottom;
    }
    return grip != kGripNone ? grip : kGripInside;
}

RectF DragRect(const RectF& start, unsigned grip, double dx, double dy, const RectF& bounds) {
    RectF r = start;
    if (grip & kGripInside) {
        ShiftSpan(r.left, r.right, dx, bounds.left, bounds.right);
        ShiftSpan(r.top, r.bottom, dy, bounds.top, bounds.bottom);
        return r;
    }
    const auto move = [](double& edge, double d, double low, double high) {
        edge = std::clamp(edge + d, low, std::max(low, high));
    };
    if (grip & kGripLeft) {
        move(r.left, dx, bounds.left, bounds.right);
    }
    if (grip & kGripRight) {
        move(r.right, dx, bounds.left, bounds.right);
    }
    if (grip & kGripTop) {
        move(r.top, dy, bounds.top, bounds.bottom);
    }
    if (grip & kGripBottom) {
        move(r.bottom, dy, bounds.top, bounds.bottom);
    }
    return SpannedRect({r.left, r.top}, {r.right, r.bottom});
}

QuadCorners DragQuad(const QuadCorners& start, int corner, double dx, double dy,
                     const RectF& bounds) {
    QuadCorners quad = start;
    if (corner >= 0 && corner < static_cast<int>(quad.size())) {
        PointF& moved = quad[static_cast<std::size_t>(corner)];
        moved = bounds.Clamped({moved.x + dx, moved.y + dy});
        return quad;
    }
    const RectF box = Shape::Quad(start).Bounds();
    dx = LimitedShift(dx, bounds.left - box.left, bounds.right - box.right);
    dy = LimitedShift(dy, bounds.top - box.top, bounds.bottom - box.bottom);
    for (PointF& point : quad) {
        point = {point.x + dx, point.y + dy};
    }
    return quad;
}

bool InsideQuad(const QuadCorners& corners, PointF at) {
    // A ray to the right of `at` crosses the outline an odd number of times.
    bool inside = false;
    for (std::size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
        const PointF a = corners[i];
        const PointF b = corners[j];
        if ((a.y > at.y) != (b.y > at.y) && at.x < (b.x - a.x) * (at.y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

void SelectionTool::SetShape(std::size_t index, const Shape& shape) {
    if (index < shapes_.size()) {
        shapes_[index] = shape;
    } else if (index == shapes_.size()) {
        shapes_.push_back(shape);
    }
}

PointF SelectionTool::PlaneAt(PointF view, const ViewMapping& mapping) const {
    return bounds_.Clamped(mapping.ToPlane(view));
}

// The corners and edges of every shape, the last drawn (topmost) first.
std::optional<Hold> SelectionTool::GripOfAny(PointF view, const ViewMapping& mapping) const {
    for (std::size_t i = shapes_.size(); i-- > 0;) {
        const Shape& shape = shapes_[i];
        if (shape.kind == ShapeKind::Quad) {
            for (std::size_t c = 0; c < shape.quad.size(); ++c) {
                if (WithinReach(mapping.ToView(shape.quad[c]), view, reach_)) {
                    return Hold{i, kGripNone, static_cast<int>(c), false};
                }
            }
            continue;
        }
        const unsigned grip = RectGripAt(mapping.ToViewRect(shape.rect), view, reach_);
        if (grip != kGripNone && grip != kGripInside) {
            return Hold{i, grip, -1, false};
        }
    }
    return std::nullopt;
}

std::optional<Hold> SelectionTool::InsideOfAny(PointF view, const ViewMapping& mapping,
                                               bool moveKey) const {
    const PointF plane = mapping.ToPlane(view);
    for (std::size_t i = shapes_.size(); i-- > 0;) {
        const Shape& shape = shapes_[i];
        const bool inside = shape.kind == ShapeKind::Quad ? InsideQuad(shape.quad, plane)
                                                          : shape.rect.Contains(plane);
        if (!inside) {
            continue;
        }
        if (shape.kind == ShapeKind::Rectangle && !moveKey && drawTarget_) {
            return std::nullopt; // a drag inside draws anew
        }
        return Hold{i, kGripInside, -1, false};
    }
    return std::nullopt;
}

Hold SelectionTool::HoldAt(PointF view, const ViewMapping& mapping, bool moveKey) const {
    if (const auto grip = GripOfAny(view, mapping)) {
        return *grip;
    }
    if (const auto inside = InsideOfAny(view, mapping, moveKey)) {
        return *inside;
    }
    if (drawTarget_ && *drawTarget_ <= shapes_.size()) {
        // The drag pulls the new rectangle's opposite corner.
        return Hold{drawTarget_, kGripRight | kGripBottom, -1, true};
    }
    return {};
}

bool SelectionTool::Press(PointF view, const ViewMapping& mapping, bool moveKey) {
    held_ = HoldAt(view, mapping, moveKey);
    if (!held_.shape) {
        return false;
    }
    pressPlane_ = PlaneAt(view, mapping);
    beforePress_ = shapes_;
    pressShape_ = held_.draws ? Shape::Rectangle(SpannedRect(pressPlane_, pressPlane_))
                              : shapes_[*held_.shape];
    return true;
}

bool SelectionTool::DragTo(PointF view, const ViewMapping& mapping) {
    if (!held_.shape) {
        return false;
    }
    const PointF at = PlaneAt(view, mapping);
    const double dx = at.x - pressPlane_.x;
    const double dy = at.y - pressPlane_.y;
    Shape moved = pressShape_;
    if (moved.kind == ShapeKind::Quad) {
        moved.quad = DragQuad(pressShape_.quad, held_.corner, dx, dy, bounds_);
    } else {
        moved.rect = DragRect(pressShape_.rect, held_.grip, dx, dy, bounds_);
    }
    const std::size_t index = *held_.shape;
    if (index < shapes_.size() && shapes_[index] == moved) {
        return false;
    }
    SetShape(index, moved);
    return true;
}

bool SelectionTool::Release(PointF view, const ViewMapping& mapping) {
    bool changed = DragTo(view, mapping);
    if (held_.draws && held_.shape && *held_.shape < shapes_.size()) {
        const RectF drawn = mapping.ToViewRect(shapes_[*held_.shape].rect);
        if (drawn.Width() < reach_ || drawn.Height() < reach_) {
            changed = shapes_ != beforePress_;
            shapes_ = beforePress_; // a click, not a drag
        }
    }
    held_ = {};
    return changed;
}
