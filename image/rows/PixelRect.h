// A rectangle of an image's pixels, counted from the upright image's top
// left: a film frame on a strip, a picked base or grey, a crop.
#pragma once

#include <cstdint>

struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Within an image of width x height, and not empty.
inline bool FitsImage(const PixelRect& r, std::int32_t width, std::int32_t height) {
    return r.width > 0 && r.height > 0 && r.left >= 0 && r.top >= 0 &&
           std::int64_t{r.left} + r.width <= width && std::int64_t{r.top} + r.height <= height;
}
