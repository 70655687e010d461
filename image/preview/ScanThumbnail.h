// A scanned page as opaque 32-bit pixels (0xFFRRGGBB, rows top to bottom),
// shown as scanned: the preview of the bed in the scan dialog.
#pragma once

#include "image/rows/SampleImage.h"

#include <cstdint>
#include <vector>

struct Thumbnail {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels; // width × height
};

// Grey samples give equal red, green and blue; a 16-bit sample shows its
// high byte.
Thumbnail ThumbnailOf(const SampleImage& page);
