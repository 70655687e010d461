// The fixed 54-byte head of a BMP file (file header and 40-byte info header)
// and what the reader takes from it: which rows to read and where they lie.
#pragma once

#include "image/Outcome.h"
#include "image/rows/StoredRows.h"

#include <cstddef>
#include <cstdint>
#include <span>

// File header (14 bytes) followed by the only info header accepted (40 bytes).
inline constexpr std::size_t kBmpHeadBytes = 54;
// Files shorter than this are refused outright, although the two headers fit
// in 54 bytes: the smallest file accepted holds a zero-sized image.
inline constexpr std::int64_t kBmpMinFileLength = 56;
// 8-bit files always carry 256 colour-table entries of 4 bytes (blue, green,
// red, unused) right after the headers, whatever the colours-used field says.
inline constexpr std::int64_t kBmpColourTableOffset = 54;
inline constexpr std::size_t kBmpColourTableEntries = 256;
inline constexpr std::size_t kBmpColourEntryBytes = 4;
inline constexpr std::size_t kBmpColourTableBytes = kBmpColourTableEntries * kBmpColourEntryBytes;

// Where and how the pixel rows are stored, checked against the file length.
struct BmpLayout {
    bool TopDown = false;
    std::int32_t Width = 0;
    std::int32_t Height = 0;          // number of rows, never negative
    std::int32_t BytesPerPixel = 0;   // 1 (colour-table index), 3 or 4
    std::int64_t PixelDataOffset = 0; // position of stored row 0
    std::int64_t Stride = 0;          // bytes from one stored row to the next
    std::int64_t RowBytes = 0;        // bytes read of each row (padding excluded)
    std::uint32_t XPelsPerMetre = 0;  // 0: unspecified
    std::uint32_t YPelsPerMetre = 0;

    bool HasRows() const { return Width > 0 && Height > 0; }
    // Position of stored row k (0 = first in the file).
    std::int64_t RowPosition(std::int32_t k) const { return PixelDataOffset + k * Stride; }
    // The same rows in the terms every kernel takes.
    RowLayout Rows() const;
};

// Accepts only uncompressed files with the 40-byte info header and 8, 24 or
// 32 bits per pixel whose rows all lie inside `fileLength` bytes. `head` is
// what the file holds of its first 54 bytes (less for a short file). The
// reason otherwise: NotThisFormat (no "BM"), Truncated (the headers, colour
// table or rows end past the file), BmpInfoHeaderSize, BmpCompression or
// BmpBitDepth with the field's value, BadHeader (a negative width, -2^31 rows,
// a negative pixel offset, sizes whose arithmetic would overflow).
Outcome<BmpLayout> ParseBmpHeader(std::span<const std::uint8_t> head, std::int64_t fileLength);
