// A picture's own coordinates (image pixels, or millimetres of a scanner's
// bed) <-> the pixels of the view that shows it zoomed and panned:
// view = origin + plane × scale on each axis.
#pragma once

#include <algorithm>

struct PointF {
    double x = 0;
    double y = 0;
    friend bool operator==(const PointF&, const PointF&) = default;
};

// A rectangle by its edges; left <= right and top <= bottom once normalised.
struct RectF {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
    bool Contains(PointF p) const {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
    // The point moved to the nearest one inside.
    PointF Clamped(PointF p) const {
        return {std::clamp(p.x, left, std::max(left, right)),
                std::clamp(p.y, top, std::max(top, bottom))};
    }
    friend bool operator==(const RectF&, const RectF&) = default;
};

// The rectangle spanned by two points, in either order.
RectF SpannedRect(PointF a, PointF b);
// The smallest rectangle holding both.
RectF UnitedRect(const RectF& a, const RectF& b);

struct ViewMapping {
    double scale = 1;   // view pixels per unit of the picture (the zoom)
    double originX = 0; // where the picture's origin lies in the view (the pan)
    double originY = 0;

    PointF ToView(PointF plane) const {
        return {originX + plane.x * scale, originY + plane.y * scale};
    }
    PointF ToPlane(PointF view) const {
        return {(view.x - originX) / scale, (view.y - originY) / scale};
    }
    RectF ToViewRect(const RectF& plane) const {
        return {originX + plane.left * scale, originY + plane.top * scale,
                originX + plane.right * scale, originY + plane.bottom * scale};
    }
    friend bool operator==(const ViewMapping&, const ViewMapping&) = default;
};

// The largest picture of `plane` that fits a view of viewWidth × viewHeight,
// its shape kept, centred: scale = min(view / plane) on the two axes.
ViewMapping FitMapping(const RectF& plane, double viewWidth, double viewHeight);
