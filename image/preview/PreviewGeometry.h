// Where the preview sits in the image area: centring, grey margins, panning by
// dragging, and which preview pixel a point of the area shows. All in pixels;
// rectangles have exclusive right and bottom edges.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool Contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Position of the preview's top-left pixel in the image area's client
// coordinates. A positive offset is the width of the grey margin before the
// image on that axis; zero or negative means that much of the image is hidden
// and the axis can be panned. PreviewWidth and PreviewHeight are the size the
// image is shown at: its own × Zoom, rounded (its own at 1:1, the start-up
// view; see PreviewZoom.h).
struct PreviewGeometry {
    std::int32_t PreviewWidth = 0;
    std::int32_t PreviewHeight = 0;
    std::int32_t PreviewX = 0;
    std::int32_t PreviewY = 0;
    std::int32_t ImageAreaWidth = 0;
    std::int32_t ImageAreaHeight = 0;
    std::int32_t ImageWidth = 0; // the image's own size; 0: the shown size
    std::int32_t ImageHeight = 0;
    double Zoom = 1; // shown pixels per image pixel
};

// The image pixel (0..image - 1) that shown pixel `shown` (0..shownSize - 1)
// shows: the one under its centre, (shown + 0.5) × image / shownSize. At 1:1
// the same number.
std::int32_t ImageIndexOf(std::int32_t shown, std::int32_t shownSize, std::int32_t image);

// (area - preview) / 2, truncating toward zero: -3 gives -1, 3 gives 1, so an
// odd spare pixel lies right of (below) the image.
std::int32_t CentredOffset(std::int32_t area, std::int32_t preview);

// Both offsets centred for a preview of the given size (any panning is lost).
void CentrePreview(PreviewGeometry& geometry);

// The strips of `client` to fill in the margin colour before the preview is
// copied: two side strips when PreviewX > 0, then two full-width bands when
// PreviewY > 0. None when the image covers the area on both axes.
std::vector<Rect> MarginRects(const PreviewGeometry& geometry, Rect client);

// One axis of a pan step. Only a non-positive offset pans: n = offset + delta,
// then n > 0 gives 0, else n < area - preview gives area - preview (tested in
// this order). A positive offset is returned unchanged.
std::int32_t PanAxis(std::int32_t offset, std::int32_t delta, std::int32_t area,
                     std::int32_t preview);

// Pans both axes by the pointer's step; true when either offset changed.
bool PanStep(PreviewGeometry& geometry, std::int32_t dx, std::int32_t dy);

// Where readings are taken: the area's client rectangle (in screen
// coordinates) narrowed to the image on each axis whose offset is positive,
// so the grey margins give none.
Rect ReadoutRect(const PreviewGeometry& geometry, Rect clientOnScreen);

// The image (preview) pixel shown at a point of the image area's client
// coordinates, at any zoom; nullopt where no pixel of the image is shown.
std::optional<Point> PreviewPixelAt(const PreviewGeometry& geometry, Point client);
