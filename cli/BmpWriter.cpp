// 24-bit BMP: "BM", file size, 0, pixel offset 54; info header 40, width,
// positive height (bottom-up), 1 plane, 24 bits, no compression, image size,
// resolution and colour counts 0 (unspecified). Rows padded to 4 bytes.
#include "cli/BmpWriter.h"

#include "image/ParallelRows.h"

#include <limits>

namespace {

constexpr std::uint8_t kSignature0 = 'B';
constexpr std::uint8_t kSignature1 = 'M';
constexpr std::uint16_t kPlanes = 1;
constexpr std::uint16_t kBitsPerPixel = 24;
constexpr std::uint32_t kNoCompression = 0;
constexpr std::uint64_t kStoredBytesPerPixel = 3;
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

// One 0xFFRRGGBB row to B, G, R bytes at the row's own start. Each stored
// pixel lies at or before the pixel it comes from, and each pixel is read
// before its bytes are written, so walking forwards never reads a written byte.
void PackRow(std::uint32_t* row, std::int32_t width, std::uint32_t stride) {
    auto* out = reinterpret_cast<std::uint8_t*>(row);
    for (std::int32_t x = 0; x < width; ++x) {
        const std::uint32_t pixel = row[x];
        std::uint8_t* stored = out + kStoredBytesPerPixel * static_cast<std::uint32_t>(x);
        stored[0] = static_cast<std::uint8_t>(pixel & kLevelMask);
        stored[1] = static_cast<std::uint8_t>(pixel >> kGreenShift & kLevelMask);
        stored[2] = static_cast<std::uint8_t>(pixel >> kRedShift & kLevelMask);
    }
    for (std::uint32_t i = kStoredBytesPerPixel * static_cast<std::uint32_t>(width); i < stride;
         ++i) {
        out[i] = 0;
    }
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

void PackRowsInPlace(PreviewImage& preview, const Bmp24Layout& layout) {
    ForRowRanges(layout.height, layout.width, [&](std::int32_t begin, std::int32_t end) {
        for (std::int32_t y = begin; y < end; ++y) {
            PackRow(preview.Row(y), layout.width, layout.stride);
        }
        return true;
    });
}

std::vector<std::span<const std::uint8_t>>
BmpPieces(const BmpHeaderBytes& header, const PreviewImage& packed, const Bmp24Layout& layout) {
    std::vector<std::span<const std::uint8_t>> pieces;
    pieces.reserve(1 + static_cast<std::size_t>(layout.height));
    pieces.emplace_back(header);
    // Bottom-up: the image's last row is stored first.
    for (std::int32_t y = layout.height - 1; y >= 0; --y) {
        pieces.emplace_back(reinterpret_cast<const std::uint8_t*>(packed.Row(y)), layout.stride);
    }
    return pieces;
}

WriteResult WriteBmp24File(const std::filesystem::path& path, const Bmp24Layout& layout,
                           PreviewImage&& preview) {
    if (preview.Width() != layout.width || preview.Height() != layout.height) {
        return WriteResult::WriteFailed; // a layout made for another image
    }
    PreviewImage packed = std::move(preview);
    PackRowsInPlace(packed, layout);
    const BmpHeaderBytes header = FormatBmp24Header(layout);
    return WriteFileAtomically(path, BmpPieces(header, packed, layout));
}
