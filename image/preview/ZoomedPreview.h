// The preview at a zoom other than 1:1, the part a view shows: zoomed out,
// each shown pixel is the mean of the preview pixels it covers, weighted by
// the area covered (no aliasing); zoomed in, it is the preview pixel under
// its centre. Zooming out reads a pyramid of halved previews, so a shown
// pixel costs a few reads at any zoom.
#pragma once

#include "image/preview/PreviewImage.h"

#include <cstdint>
#include <optional>
#include <vector>

// Levels 1, 2, ... of a preview: each the mean of 2 × 2 pixels of the one
// before (an odd last column or row alone), down to a few pixels.
class PreviewPyramid {
public:
    // nullopt when the memory cannot be had.
    static std::optional<PreviewPyramid> Build(const PreviewImage& base);

    // Level 1 (half the preview) upwards; the preview itself is level 0.
    const std::vector<PreviewImage>& Levels() const { return levels_; }

private:
    std::vector<PreviewImage> levels_;
};

// A part of the picture shown at a zoom: the whole picture would be
// shownWidth × shownHeight pixels; the part starts at (left, top) of it.
struct ZoomWindow {
    std::int32_t shownWidth = 0;
    std::int32_t shownHeight = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const ZoomWindow&, const ZoomWindow&) = default;
};

// Fills `out` (window.width × window.height) with that part of `base` shown
// at shownWidth × shownHeight, reading `pyramid` (when given) to zoom out.
// False, with nothing written, when the window lies outside the picture or
// `out` is not of its size.
bool RenderZoomWindow(const PreviewImage& base, const PreviewPyramid* pyramid,
                      const ZoomWindow& window, PreviewImage& out);
