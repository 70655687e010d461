// Builds BMP files byte by byte for tests and fuzz seeds: any header values,
// 8-, 24- or 32-bit pixel data, either row order, chosen padding bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace bmptest {

inline constexpr std::size_t kHeadBytes = 54;
inline constexpr std::uint32_t kInfoHeaderSize = 40;

// Byte offsets of the header fields.
inline constexpr std::size_t kSignatureField = 0;
inline constexpr std::size_t kFileSizeField = 2;
inline constexpr std::size_t kReservedField = 6;
inline constexpr std::size_t kOffsetField = 10;
inline constexpr std::size_t kInfoSizeField = 14;
inline constexpr std::size_t kWidthField = 18;
inline constexpr std::size_t kHeightField = 22;
inline constexpr std::size_t kPlanesField = 26;
inline constexpr std::size_t kBitCountField = 28;
inline constexpr std::size_t kCompressionField = 30;
inline constexpr std::size_t kImageSizeField = 34;
inline constexpr std::size_t kXPelsPerMetreField = 38;
inline constexpr std::size_t kYPelsPerMetreField = 42;
inline constexpr std::size_t kColoursUsedField = 46;

// Every field of the file header and the 40-byte info header. A bigger
// infoSize only changes the field's value; the bytes written stay 54.
struct Header {
    std::uint8_t sig0 = 'B';
    std::uint8_t sig1 = 'M';
    std::uint32_t fileSize = 0;
    std::uint32_t pixelDataOffset = kHeadBytes;
    std::uint32_t infoSize = kInfoHeaderSize;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
    std::uint32_t coloursUsed = 0;
};

inline void PutU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    PutU16(out, at, v & 0xFFFF);
    PutU16(out, at + 2, v >> 16);
}

// A copy of `bytes` with one 32-bit (or, for the 2-byte fields, 16-bit) field changed.
inline std::vector<std::uint8_t> With(std::vector<std::uint8_t> bytes, std::size_t field,
                                      std::uint32_t value) {
    if (field == kPlanesField || field == kBitCountField || field == kSignatureField) {
        PutU16(bytes, field, value);
    } else {
        PutU32(bytes, field, value);
    }
    return bytes;
}

// The 54 header bytes.
inline std::vector<std::uint8_t> HeadBytes(const Header& h) {
    std::vector<std::uint8_t> out(kHeadBytes, 0);
    out[0] = h.sig0;
    out[1] = h.sig1;
    PutU32(out, kFileSizeField, h.fileSize);
    PutU32(out, kOffsetField, h.pixelDataOffset);
    PutU32(out, kInfoSizeField, h.infoSize);
    PutU32(out, kWidthField, static_cast<std::uint32_t>(h.width));
    PutU32(out, kHeightField, static_cast<std::uint32_t>(h.height));
    PutU16(out, kPlanesField, h.planes);
    PutU16(out, kBitCountField, h.bitCount);
    PutU32(out, kCompressionField, h.compression);
    PutU32(out, kImageSizeField, h.imageSize);
    PutU32(out, kColoursUsedField, h.coloursUsed);
    return out;
}

// A picture, top row first: 0xRRGGBB colours, or colour-table indices for
// 8-bit files.
struct Picture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(std::int32_t x, std::int32_t y) const {
        return pixels[static_cast<std::size_t>(y) * width + x];
    }
};

// A picture whose every pixel differs from its neighbours in each channel.
inline Picture Gradient(std::int32_t width, std::int32_t height, std::uint32_t seed = 0) {
    Picture p{width, height, {}};
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint32_t r = (seed + 37 * x + 11 * y) & 0xFF;
            const std::uint32_t g = (seed * 3 + 5 * x + 71 * y) & 0xFF;
            const std::uint32_t b = (seed * 7 + 101 * x + 13 * y + 1) & 0xFF;
            p.pixels.push_back(r << 16 | g << 8 | b);
        }
    }
    return p;
}

// How the picture is stored.
struct Encoding {
    std::uint16_t bitCount = 24; // 8, 24 or 32
    bool topDown = false;
    std::uint8_t padByte = 0;           // fills each row's padding
    std::uint8_t fourthByte = 0;        // the unused byte of 32-bit pixels
    std::vector<std::uint32_t> palette; // 0xRRGGBB; written for 8-bit, count = coloursUsed
    std::uint32_t gap = 0;              // extra bytes between the colour table and the pixels
    std::uint8_t gapByte = 0;
};

inline std::size_t StrideOf(std::int32_t width, std::uint16_t bitCount) {
    return (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
}

inline void AppendPixel(std::vector<std::uint8_t>& out, std::uint32_t v, const Encoding& e) {
    if (e.bitCount == 8) {
        out.push_back(static_cast<std::uint8_t>(v));
        return;
    }
    out.push_back(static_cast<std::uint8_t>(v));       // blue
    out.push_back(static_cast<std::uint8_t>(v >> 8));  // green
    out.push_back(static_cast<std::uint8_t>(v >> 16)); // red
    if (e.bitCount == 32) {
        out.push_back(e.fourthByte);
    }
}

// A complete, consistent file for the picture.
inline std::vector<std::uint8_t> EncodeBmp(const Picture& p, const Encoding& e = {}) {
    Header h;
    h.bitCount = e.bitCount;
    h.width = p.width;
    h.height = e.topDown ? -p.height : p.height;
    h.coloursUsed = static_cast<std::uint32_t>(e.palette.size());
    h.pixelDataOffset = static_cast<std::uint32_t>(kHeadBytes + 4 * e.palette.size() + e.gap);
    std::vector<std::uint8_t> out = HeadBytes(h);
    for (const std::uint32_t c : e.palette) {
        out.insert(out.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                               static_cast<std::uint8_t>(c >> 16), 0});
    }
    out.insert(out.end(), e.gap, e.gapByte);
    const std::size_t stride = StrideOf(p.width, e.bitCount);
    for (std::int32_t i = 0; i < p.height; ++i) {
        const std::int32_t y =
            e.topDown ? i : p.height - 1 - i; // bottom-up stores the top row last
        const std::size_t rowStart = out.size();
        for (std::int32_t x = 0; x < p.width; ++x) {
            AppendPixel(out, p.At(x, y), e);
        }
        out.resize(rowStart + stride, e.padByte);
    }
    PutU32(out, kFileSizeField, static_cast<std::uint32_t>(out.size()));
    return out;
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

} // namespace bmptest
