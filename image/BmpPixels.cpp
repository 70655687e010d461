// Widens stored BMP pixels in place: 8-bit colour-table index, 24-bit B,G,R and
// 32-bit B,G,R,x all become R,G,B,255 (the fourth stored byte is ignored).
#include "image/BmpPixels.h"

#include <cstring>

namespace {

// Pixels handled per step of the wide loops.
constexpr std::int32_t kBlock = 4;

void Store(std::uint8_t* out, std::uint32_t pixel) {
    std::memcpy(out, &pixel, sizeof pixel);
}

// Index i is read from byte 3*width + i and written to bytes 4*i..4*i+3, which
// lie below every index not yet read.
void ExpandIndexed(std::uint8_t* row, std::int32_t width, const BmpPalette& palette) {
    const std::uint8_t* stored = row + std::int64_t{3} * width;
    for (std::int64_t i = 0; i < width; ++i) {
        Store(row + 4 * i, palette[stored[i]]);
    }
}

// Four pixels (12 stored bytes) are loaded before their 16 output bytes are
// written; the next block's stored bytes start at width + 3*i + 12, past them.
void ExpandBgr(std::uint8_t* row, std::int32_t width) {
    const std::uint8_t* stored = row + width;
    std::int64_t i = 0;
    for (; i + kBlock <= width; i += kBlock) {
        std::uint8_t in[3 * kBlock];
        std::memcpy(in, stored + 3 * i, sizeof in);
        std::uint32_t out[kBlock];
        for (int j = 0; j < kBlock; ++j) {
            out[j] = PackRgba(in[3 * j + 2], in[3 * j + 1], in[3 * j]);
        }
        std::memcpy(row + 4 * i, out, sizeof out);
    }
    for (; i < width; ++i) {
        const std::uint8_t* p = stored + 3 * i;
        const std::uint32_t pixel = PackRgba(p[2], p[1], p[0]);
        Store(row + 4 * i, pixel);
    }
}

// Same place, same size: each pixel is rewritten where it was read.
void ExpandBgrx(std::uint8_t* row, std::int32_t width) {
    for (std::int64_t i = 0; i < width; ++i) {
        std::uint8_t* p = row + 4 * i;
        Store(p, PackRgba(p[2], p[1], p[0]));
    }
}

} // namespace

BmpPalette DecodeColourTable(std::span<const std::uint8_t, kBmpColourTableBytes> table) {
    BmpPalette palette{};
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const std::uint8_t* entry = &table[i * kBmpColourEntryBytes];
        palette[i] = PackRgba(entry[2], entry[1], entry[0]);
    }
    return palette;
}

std::int64_t StoredRowOffset(std::int32_t width, std::int32_t bytesPerPixel) {
    return std::int64_t{width} * (kImageBytesPerPixel - bytesPerPixel);
}

void ExpandRowInPlace(std::uint8_t* row, std::int32_t width, std::int32_t bytesPerPixel,
                      const BmpPalette& palette) {
    switch (bytesPerPixel) {
    case 1:
        ExpandIndexed(row, width, palette);
        break;
    case 3:
        ExpandBgr(row, width);
        break;
    default:
        ExpandBgrx(row, width);
        break;
    }
}
