// What a scan of an area will make: its pixels at a resolution, and the
// bytes of the file (samples without compression, as PNM and TIFF store them).
#pragma once

#include "scan/BedGeometry.h"

#include <cstdint>

struct PixelSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// Pixels across and down at `dpi`: millimetres / 25.4 × dpi, to the nearest.
PixelSize PixelsAt(const BedArea& area, int dpi);

// Bytes of the pixels: width × height × channels × (1 or 2 bytes a sample).
std::uint64_t EstimatedFileBytes(const PixelSize& pixels, int channels, int depth);
