// What a scan of an area will make: its pixels at a resolution, counted as
// the device counts them, and the bytes of the file (samples without
// compression, as PNM and TIFF store them).
#pragma once

#include "scan/ScanArea.h"

#include <cstdint>

struct PixelSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// How a device turns millimetres / 25.4 × dpi into whole pixels on one axis.
enum class PixelRounding { Down, Nearest, Up };

struct PixelRoundings {
    PixelRounding across = PixelRounding::Down; // most devices cut a part pixel off
    PixelRounding down = PixelRounding::Down;
    friend bool operator==(const PixelRoundings&, const PixelRoundings&) = default;
};

// Pixels across and down at `dpi`: millimetres / 25.4 × dpi, rounded as the
// device rounds.
PixelSize PixelsAt(const ScanArea& area, int dpi, PixelRoundings rounding = {});

// Bytes of the pixels: width × height × channels × (1 or 2 bytes a sample).
std::uint64_t EstimatedFileBytes(const PixelSize& pixels, int channels, int depth);
