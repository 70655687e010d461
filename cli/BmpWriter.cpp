// 24-bit BMP: "BM", file size, 0, pixel offset 54; info header 40, width,
// positive height (bottom-up), 1 plane, 24 bits, no compression, image size,
// resolution and colour counts 0 (unspecified). Rows padded to 4 bytes.
#include "cli/BmpWriter.h"

#include "cli/BmpBandSource.h"
#include "image/ParallelRows.h"

#include <algorithm>

#include <bit>
#include <cstring>
#include <limits>

namespace {

constexpr std::uint8_t kSignature0 = 'B';
constexpr std::uint8_t kSignature1 = 'M';
constexpr std::uint16_t kPlanes = 1;
constexpr std::uint16_t kBitsPerPixel = 24;
constexpr std::uint32_t kNoCompression = 0;
constexpr std::size_t kStoredBytesPerPixel = 3;
// Pixels converted together, 16 bytes in and 12 out.
constexpr std::int32_t kGroupPixels = 4;
constexpr std::uint64_t kRowAlignment = 4;

// Field offsets of the two headers, from the start of the file.
constexpr std::size_t kFileSizeAt = 2;
constexpr std::size_t kPixelOffsetAt = 10;
constexpr std::size_t kInfoSizeAt = 14;
constexpr std::size_t kWidthAt = 18;
constexpr std::size_t kHeightAt = 22;
constexpr std::size_t kPlanesAt = 26;
constexpr std::size_t kBitCountAt = 28;
constexpr std::size_t kCompressionAt = 30;
constexpr std::size_t kImageSizeAt = 34;

constexpr std::uint32_t kLevelMask = 0xFF;
constexpr int kGreenShift = 8;
constexpr int kRedShift = 16;

void PutLittleEndian(BmpHeaderBytes& bytes, std::size_t at, std::uint32_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// Stored bytes of one 0xFFRRGGBB pixel: blue, green, red.
void StorePixel(std::uint32_t pixel, std::uint8_t* stored) {
    stored[0] = static_cast<std::uint8_t>(pixel & kLevelMask);
    stored[1] = static_cast<std::uint8_t>(pixel >> kGreenShift & kLevelMask);
    stored[2] = static_cast<std::uint8_t>(pixel >> kRedShift & kLevelMask);
}

// Four 0xFFRRGGBB pixels as the twelve stored bytes b0 g0 r0 b1 | g1 r1 b2 g2
// | r2 b3 g3 r3, assembled in three 32-bit words for a little-endian store.
std::array<std::uint32_t, 3> PackGroup(const std::array<std::uint32_t, kGroupPixels>& p) {
    constexpr std::uint32_t kColour = 0x00FFFFFF;
    constexpr std::uint32_t kLow16 = 0xFFFF;
    return {(p[0] & kColour) | p[1] << 24, (p[1] >> 8 & kLow16) | p[2] << 16,
            (p[2] >> 16 & kLevelMask) | p[3] << 8};
}

// One 0xFFRRGGBB row to B, G, R bytes at the row's own start. Stored pixel x
// lies at or before source pixel x, so walking forwards never reads a byte
// already written, provided each group is loaded before it is stored.
void PackRow(std::uint32_t* row, std::int32_t width, std::uint32_t stride) {
    auto* bytes = reinterpret_cast<std::uint8_t*>(row);
    std::int32_t x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; x + kGroupPixels <= width; x += kGroupPixels) {
            std::array<std::uint32_t, kGroupPixels> group;
            std::memcpy(group.data(), row + x, sizeof group);
            const std::array<std::uint32_t, 3> stored = PackGroup(group);
            std::memcpy(bytes + std::size_t(x) * kStoredBytesPerPixel, stored.data(),
                        sizeof stored);
        }
    }
    for (; x < width; ++x) {
        StorePixel(row[x], bytes + std::size_t(x) * kStoredBytesPerPixel);
    }
    const std::size_t used = std::size_t(width) * kStoredBytesPerPixel;
    std::memset(bytes + used, 0, stride - used);
}

} // namespace

std::optional<Bmp24Layout> LayoutBmp24(std::int32_t width, std::int32_t height) {
    if (width < 0 || height < 0) {
        return std::nullopt;
    }
    const std::uint64_t rowBytes = std::uint64_t(width) * kStoredBytesPerPixel;
    const std::uint64_t stride = (rowBytes + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
    const std::uint64_t imageSize = stride * std::uint64_t(height);
    const std::uint64_t fileSize = kBmpHeaderBytes + imageSize;
    if (fileSize > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return Bmp24Layout{width, height, static_cast<std::uint32_t>(stride),
                       static_cast<std::uint32_t>(imageSize), static_cast<std::uint32_t>(fileSize)};
}

BmpHeaderBytes FormatBmp24Header(const Bmp24Layout& layout) {
    BmpHeaderBytes bytes{};
    bytes[0] = kSignature0;
    bytes[1] = kSignature1;
    PutLittleEndian(bytes, kFileSizeAt, layout.fileSize, 4);
    PutLittleEndian(bytes, kPixelOffsetAt, kBmpHeaderBytes, 4);
    PutLittleEndian(bytes, kInfoSizeAt, kBmpInfoHeaderBytes, 4);
    PutLittleEndian(bytes, kWidthAt, static_cast<std::uint32_t>(layout.width), 4);
    PutLittleEndian(bytes, kHeightAt, static_cast<std::uint32_t>(layout.height), 4);
    PutLittleEndian(bytes, kPlanesAt, kPlanes, 2);
    PutLittleEndian(bytes, kBitCountAt, kBitsPerPixel, 2);
    PutLittleEndian(bytes, kCompressionAt, kNoCompression, 4);
    PutLittleEndian(bytes, kImageSizeAt, layout.imageSize, 4);
    return bytes;
}

void PackRowsInPlace(PreviewImage& preview, std::uint32_t stride) {
    ForRowRanges(preview.Height(), preview.Width(), [&](std::int32_t begin, std::int32_t end) {
        for (std::int32_t y = begin; y < end; ++y) {
            PackRow(preview.Row(y), preview.Width(), stride);
        }
        return true;
    });
}

namespace {

std::int32_t DefaultBandRows(std::int32_t width) {
    const std::int64_t rowBytes =
        std::max<std::int64_t>(1, std::int64_t{width} * std::int64_t{sizeof(std::uint32_t)});
    return static_cast<std::int32_t>(std::max<std::int64_t>(1, kBmpBandBytes / rowBytes));
}

} // namespace

WriteResult WriteRenderedBmp(const std::filesystem::path& path, const Bmp24Layout& layout,
                             const ImageBuffer& image, const std::array<GammaTable, 3>& tables,
                             std::int32_t bandRows) {
    if (image.Width != layout.width || image.Height != layout.height || image.Pixels == nullptr) {
        return WriteResult::WriteFailed; // a layout made for another image
    }
    BmpBandSource source(layout, image, tables,
                         bandRows > 0 ? bandRows : DefaultBandRows(image.Width));
    return WriteFileAtomically(path, [&source] { return source.Next(); });
}
