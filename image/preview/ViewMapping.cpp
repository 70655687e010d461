// Fitting a picture into a view: the smaller of the two ratios view / picture
// is the scale, and the spare room is split evenly on the other axis.
#include "image/preview/ViewMapping.h"

RectF SpannedRect(PointF a, PointF b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

RectF UnitedRect(const RectF& a, const RectF& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

ViewMapping FitMapping(const RectF& plane, double viewWidth, double viewHeight) {
    ViewMapping mapping;
    if (plane.Width() <= 0 || plane.Height() <= 0 || viewWidth <= 0 || viewHeight <= 0) {
        return mapping;
    }
    mapping.scale = std::min(viewWidth / plane.Width(), viewHeight / plane.Height());
    mapping.originX = (viewWidth - plane.Width() * mapping.scale) / 2 - plane.left * mapping.scale;
    mapping.originY = (viewHeight - plane.Height() * mapping.scale) / 2 - plane.top * mapping.scale;
    return mapping;
}
