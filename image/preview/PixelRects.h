// Rectangles of whole image pixels <-> the selection tool's edges in the
// picture's units: a pixel rectangle spans [left, left + width); edges
// dragged to fractions are rounded to the nearest pixel, at least one wide.
#pragma once

#include "image/preview/ViewMapping.h"
#include "image/rows/PixelRect.h"

#include <algorithm>
#include <cmath>

inline RectF RectOfPixels(const PixelRect& r) {
    return {double(r.left), double(r.top), double(r.left) + r.width, double(r.top) + r.height};
}

inline PixelRect PixelsOf(const RectF& r) {
    const auto left = static_cast<std::int32_t>(std::lround(r.left));
    const auto top = static_cast<std::int32_t>(std::lround(r.top));
    return {left, top,
            std::max<std::int32_t>(1, static_cast<std::int32_t>(std::lround(r.right)) - left),
            std::max<std::int32_t>(1, static_cast<std::int32_t>(std::lround(r.bottom)) - top)};
}
