// Widens stored BMP pixels in place: 8-bit colour-table index, 24-bit B,G,R and
// 32-bit B,G,R,x all become R,G,B,255 (the fourth stored byte is ignored).
#include "image/formats/BmpPixels.h"

#include <cstring>

namespace {

void Store(std::uint8_t* out, std::uint32_t pixel) {
    std::memcpy(out, &pixel, sizeof pixel);
}

std::uint32_t Load(const std::uint8_t* in) {
    std::uint32_t word;
    std::memcpy(&word, in, sizeof word);
    return word;
}

// Four stored bytes b, g, r, x (in memory order) -> r, g, b, 255. On a
// little-endian machine that is one byte reversal and a shift, which the
// compiler turns into a single bswap.
std::uint32_t FromBgrx(std::uint32_t word) {
    if constexpr (std::endian::native == std::endian::little) {
        const std::uint32_t reversed =
            word << 24 | (word << 8 & 0xFF0000u) | (word >> 8 & 0xFF00u) | word >> 24; // x, r, g, b
        return reversed >> 8 | std::uint32_t{kOpaque} << 24;
    } else {
        return PackRgba(word >> 8 & 0xFF, word >> 16 & 0xFF, word >> 24);
    }
}

// Index i is read from byte 3*width + i and written to bytes 4*i..4*i+3, which
// lie below every index not yet read.
void ExpandIndexed(std::uint8_t* row, std::int32_t width, const BmpPalette& palette) {
    const std::uint8_t* stored = row + std::int64_t{3} * width;
    for (std::int64_t i = 0; i < width; ++i) {
        Store(row + 4 * i, palette[stored[i]]);
    }
}

// Pixel i is read as the four bytes from width + 3*i (its own three and the
// next pixel's first) and written to bytes 4*i..4*i+3, below every byte still
// to be read. The last pixel has no fourth byte within the row: it is read
// byte by byte.
void ExpandBgr(std::uint8_t* row, std::int32_t width) {
    if (width <= 0) {
        return;
    }
    const std::uint8_t* stored = row + width;
    const std::int64_t last = std::int64_t{width} - 1;
    for (std::int64_t i = 0; i < last; ++i) {
        Store(row + 4 * i, FromBgrx(Load(stored + 3 * i)));
    }
    const std::uint8_t* p = stored + 3 * last;
    Store(row + 4 * last, PackRgba(p[2], p[1], p[0]));
}

// Same place, same size: each pixel is rewritten where it was read, and its
// fourth byte is dropped.
void ExpandBgrx(std::uint8_t* row, std::int32_t width) {
    for (std::int64_t i = 0; i < width; ++i) {
        Store(row + 4 * i, FromBgrx(Load(row + 4 * i)));
    }
}

} // namespace

BmpPalette PackColours(const Palette& colours) {
    BmpPalette palette{};
    for (std::size_t i = 0; i < palette.size(); ++i) {
        palette[i] = PackRgba(colours[i][0], colours[i][1], colours[i][2]);
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
