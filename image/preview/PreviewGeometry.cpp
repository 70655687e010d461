// Centring, margins, pan clamping and point mapping of the preview. A shown
// pixel's image pixel is found in integers: floor((2s + 1) × image / (2 × shown)).
#include "image/preview/PreviewGeometry.h"

#include <algorithm>
#include <limits>

namespace {

// Sums of coordinates are formed in 64 bits and saturated back, so no
// combination of sizes and offsets can overflow.
std::int32_t Saturate32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

std::int32_t CentredOffset(std::int32_t area, std::int32_t preview) {
    // C++ division truncates toward zero, as the centring needs.
    return Saturate32((std::int64_t{area} - preview) / 2);
}

void CentrePreview(PreviewGeometry& g) {
    g.PreviewX = CentredOffset(g.ImageAreaWidth, g.PreviewWidth);
    g.PreviewY = CentredOffset(g.ImageAreaHeight, g.PreviewHeight);
}

std::vector<Rect> MarginRects(const PreviewGeometry& g, Rect client) {
    std::vector<Rect> margins;
    if (g.PreviewX > 0) {
        margins.push_back({client.left, client.top, g.PreviewX, client.bottom});
        margins.push_back({Saturate32(std::int64_t{g.PreviewX} + g.PreviewWidth), client.top,
                           client.right, client.bottom});
    }
    if (g.PreviewY > 0) {
        margins.push_back({client.left, client.top, client.right, g.PreviewY});
        margins.push_back({client.left, Saturate32(std::int64_t{g.PreviewY} + g.PreviewHeight),
                           client.right, client.bottom});
    }
    return margins;
}

std::int32_t PanAxis(std::int32_t offset, std::int32_t delta, std::int32_t area,
                     std::int32_t preview) {
    if (offset > 0) {
        return offset;
    }
    const std::int64_t lowest = std::int64_t{area} - preview;
    std::int64_t n = std::int64_t{offset} + delta;
    if (n > 0) {
        n = 0;
    } else if (n < lowest) {
        // For an image one pixel narrower than the area `lowest` is 1: the
        // first step sets the offset to 1, after which the axis stays put.
        n = lowest;
    }
    return Saturate32(n);
}

bool PanStep(PreviewGeometry& g, std::int32_t dx, std::int32_t dy) {
    const std::int32_t x = PanAxis(g.PreviewX, dx, g.ImageAreaWidth, g.PreviewWidth);
    const std::int32_t y = PanAxis(g.PreviewY, dy, g.ImageAreaHeight, g.PreviewHeight);
    const bool moved = x != g.PreviewX || y != g.PreviewY;
    g.PreviewX = x;
    g.PreviewY = y;
    return moved;
}

Rect ReadoutRect(const PreviewGeometry& g, Rect r) {
    if (g.PreviewX > 0) {
        r.left = Saturate32(std::int64_t{r.left} + g.PreviewX);
        r.right = Saturate32(std::int64_t{r.left} + g.PreviewWidth);
    }
    if (g.PreviewY > 0) {
        r.top = Saturate32(std::int64_t{r.top} + g.PreviewY);
        r.bottom = Saturate32(std::int64_t{r.top} + g.PreviewHeight);
    }
    return r;
}

std::int32_t ImageIndexOf(std::int32_t shown, std::int32_t shownSize, std::int32_t image) {
    if (shownSize == image || shownSize <= 0) {
        return shown;
    }
    const std::int64_t index =
        ((2 * std::int64_t{shown} + 1) * image) / (2 * std::int64_t{shownSize});
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(index, 0, image - 1));
}

std::optional<Point> PreviewPixelAt(const PreviewGeometry& g, Point client) {
    if (!Rect{0, 0, g.ImageAreaWidth, g.ImageAreaHeight}.Contains(client)) {
        return std::nullopt; // the hidden parts of a larger preview show nowhere
    }
    const std::int64_t x = std::int64_t{client.x} - g.PreviewX;
    const std::int64_t y = std::int64_t{client.y} - g.PreviewY;
    if (x < 0 || y < 0 || x >= g.PreviewWidth || y >= g.PreviewHeight) {
        return std::nullopt;
    }
    const std::int32_t imageWidth = g.ImageWidth > 0 ? g.ImageWidth : g.PreviewWidth;
    const std::int32_t imageHeight = g.ImageHeight > 0 ? g.ImageHeight : g.PreviewHeight;
    return Point{ImageIndexOf(static_cast<std::int32_t>(x), g.PreviewWidth, imageWidth),
                 ImageIndexOf(static_cast<std::int32_t>(y), g.PreviewHeight, imageHeight)};
}
