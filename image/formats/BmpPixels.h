// Stored BMP pixels -> the reader's R, G, B, 255 pixels, one row at a time.
#pragma once

#include "image/formats/BmpHeader.h"
#include "image/rows/ImageBuffer.h"
#include "image/rows/StoredRows.h"

#include <array>
#include <bit>
#include <cstdint>
#include <span>

// Colour-table entries already in output form.
using BmpPalette = std::array<std::uint32_t, kBmpColourTableEntries>;

// The 32-bit value whose bytes in memory are red, green, blue, 255.
constexpr std::uint32_t PackRgba(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    if constexpr (std::endian::native == std::endian::little) {
        return r | g << 8 | b << 16 | std::uint32_t{kOpaque} << 24;
    } else {
        return r << 24 | g << 16 | b << 8 | kOpaque;
    }
}

BmpPalette PackColours(const Palette& colours);

// Where, inside an output row of `width` pixels, the stored bytes of that row
// go, so that a row is read straight into its final place and widened there.
std::int64_t StoredRowOffset(std::int32_t width, std::int32_t bytesPerPixel);

// Converts the stored bytes at row + StoredRowOffset(...) into `width` output
// pixels starting at `row`, front to back, never overwriting a stored byte
// before it was read.
void ExpandRowInPlace(std::uint8_t* row, std::int32_t width, std::int32_t bytesPerPixel,
                      const BmpPalette& palette);
