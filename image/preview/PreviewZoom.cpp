// Zoom levels are 2^(k/2) for whole k, so that 1:1, 200 % and 50 % are among
// them; a zoom between two (the fit) steps to the next one. Shown sizes are
// the image's × zoom rounded, at least one pixel.
#include "image/preview/PreviewZoom.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kLevelsPerDoubling = 2; // √2 steps
// Within this of a level (in steps), a zoom counts as on it.
constexpr double kOnLevel = 1e-9;

std::int32_t ShownSize(std::int32_t image, double zoom) {
    return static_cast<std::int32_t>(std::max<double>(1, std::llround(image * zoom)));
}

// One axis at the new zoom: the offset that keeps `about` on the same image
// point, or the centred one where the image does not cover the area.
std::int32_t ZoomedOffset(std::int32_t offset, std::int32_t area, std::int32_t shown,
                          double oldZoom, double newZoom, std::int32_t about) {
    if (shown <= area) {
        return CentredOffset(area, shown);
    }
    const double imagePoint = (about - offset) / oldZoom;
    const double kept = std::round(about - imagePoint * newZoom);
    return static_cast<std::int32_t>(std::clamp<double>(kept, area - shown, 0));
}

} // namespace

double FitZoom(const PreviewGeometry& g) {
    if (g.ImageWidth <= 0 || g.ImageHeight <= 0 || g.ImageAreaWidth <= 0 ||
        g.ImageAreaHeight <= 0) {
        return 1;
    }
    return std::min({1.0, static_cast<double>(g.ImageAreaWidth) / g.ImageWidth,
                     static_cast<double>(g.ImageAreaHeight) / g.ImageHeight});
}

double SteppedZoom(const PreviewGeometry& g, int steps) {
    double level = kLevelsPerDoubling * std::log2(g.Zoom);
    if (steps > 0) {
        level = std::floor(level + kOnLevel) + steps;
    } else if (steps < 0) {
        level = std::ceil(level - kOnLevel) + steps;
    }
    const double zoom = std::exp2(level / kLevelsPerDoubling);
    return std::clamp(zoom, FitZoom(g), kMaxZoom);
}

bool ZoomAbout(PreviewGeometry& g, double zoom, Point about) {
    if (g.ImageWidth <= 0 || g.ImageHeight <= 0) {
        return false;
    }
    zoom = std::clamp(zoom, FitZoom(g), kMaxZoom);
    const PreviewGeometry before = g;
    g.PreviewWidth = ShownSize(g.ImageWidth, zoom);
    g.PreviewHeight = ShownSize(g.ImageHeight, zoom);
    g.PreviewX = ZoomedOffset(g.PreviewX, g.ImageAreaWidth, g.PreviewWidth, g.Zoom, zoom, about.x);
    g.PreviewY =
        ZoomedOffset(g.PreviewY, g.ImageAreaHeight, g.PreviewHeight, g.Zoom, zoom, about.y);
    g.Zoom = zoom;
    return g.PreviewX != before.PreviewX || g.PreviewY != before.PreviewY ||
           g.PreviewWidth != before.PreviewWidth || g.PreviewHeight != before.PreviewHeight ||
           g.Zoom != before.Zoom;
}

bool ZoomToFit(PreviewGeometry& g) {
    if (g.ImageWidth <= 0 || g.ImageHeight <= 0) {
        return false;
    }
    const bool zoomed = ZoomAbout(g, FitZoom(g), {0, 0});
    const PreviewGeometry before = g;
    CentrePreview(g);
    return zoomed || g.PreviewX != before.PreviewX || g.PreviewY != before.PreviewY;
}

bool ZoomOneToOne(PreviewGeometry& g) {
    return ZoomAbout(g, 1, {g.ImageAreaWidth / 2, g.ImageAreaHeight / 2});
}

ViewMapping PreviewMapping(const PreviewGeometry& g) {
    return {g.Zoom, static_cast<double>(g.PreviewX), static_cast<double>(g.PreviewY)};
}
