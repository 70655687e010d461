// View pixel = corner + millimetres × pixelsPerMm, the scale the smaller of
// the two ratios view / bed so that the whole bed shows undistorted.
#include "scan/AreaOnPreview.h"

#include <algorithm>
#include <cmath>

PreviewFit FitBed(double bedWidthMm, double bedHeightMm, double viewWidth, double viewHeight) {
    PreviewFit fit;
    if (bedWidthMm <= 0 || bedHeightMm <= 0 || viewWidth <= 0 || viewHeight <= 0) {
        return fit;
    }
    fit.pixelsPerMm = std::min(viewWidth / bedWidthMm, viewHeight / bedHeightMm);
    fit.width = bedWidthMm * fit.pixelsPerMm;
    fit.height = bedHeightMm * fit.pixelsPerMm;
    fit.left = (viewWidth - fit.width) / 2;
    fit.top = (viewHeight - fit.height) / 2;
    return fit;
}

ViewPoint ViewOfMm(const PreviewFit& fit, double xMm, double yMm) {
    return {fit.left + xMm * fit.pixelsPerMm, fit.top + yMm * fit.pixelsPerMm};
}

ViewPoint MmOfView(const PreviewFit& fit, double bedWidthMm, double bedHeightMm, ViewPoint view) {
    return {std::clamp((view.x - fit.left) / fit.pixelsPerMm, 0.0, bedWidthMm),
            std::clamp((view.y - fit.top) / fit.pixelsPerMm, 0.0, bedHeightMm)};
}

unsigned GripAt(const PreviewFit& fit, const BedArea& area, ViewPoint at, double reach) {
    const ViewPoint topLeft = ViewOfMm(fit, area.left, area.top);
    const ViewPoint bottomRight = ViewOfMm(fit, area.right, area.bottom);
    const bool acrossX = at.x >= topLeft.x - reach && at.x <= bottomRight.x + reach;
    const bool acrossY = at.y >= topLeft.y - reach && at.y <= bottomRight.y + reach;
    if (!acrossX || !acrossY) {
        return kGripNone;
    }
    unsigned grip = kGripNone;
    if (std::abs(at.x - topLeft.x) <= reach) {
        grip |= kGripLeft;
    } else if (std::abs(at.x - bottomRight.x) <= reach) {
        grip |= kGripRight;
    }
    if (std::abs(at.y - topLeft.y) <= reach) {
        grip |= kGripTop;
    } else if (std::abs(at.y - bottomRight.y) <= reach) {
        grip |= kGripBottom;
    }
    return grip != kGripNone ? grip : kGripInside;
}

namespace {

// Moves [low, high] by `d`, keeping its length within [0, limit].
void Shift(double& low, double& high, double d, double limit) {
    const double length = high - low;
    low = std::clamp(low + d, 0.0, std::max(0.0, limit - length));
    high = low + length;
}

} // namespace

BedArea DragArea(const BedArea& start, unsigned grip, double dxMm, double dyMm, double bedWidthMm,
                double bedHeightMm) {
    BedArea area = start;
    if (grip & kGripInside) {
        Shift(area.left, area.right, dxMm, bedWidthMm);
        Shift(area.top, area.bottom, dyMm, bedHeightMm);
        return area;
    }
    const auto move = [](double& edge, double d, double limit) {
        edge = std::clamp(edge + d, 0.0, limit);
    };
    if (grip & kGripLeft) {
        move(area.left, dxMm, bedWidthMm);
    }
    if (grip & kGripRight) {
        move(area.right, dxMm, bedWidthMm);
    }
    if (grip & kGripTop) {
        move(area.top, dyMm, bedHeightMm);
    }
    if (grip & kGripBottom) {
        move(area.bottom, dyMm, bedHeightMm);
    }
    return {std::min(area.left, area.right), std::min(area.top, area.bottom),
            std::max(area.left, area.right), std::max(area.top, area.bottom)};
}

BedArea SpannedArea(ViewPoint fromMm, ViewPoint toMm) {
    return {std::min(fromMm.x, toMm.x), std::min(fromMm.y, toMm.y), std::max(fromMm.x, toMm.x),
            std::max(fromMm.y, toMm.y)};
}
