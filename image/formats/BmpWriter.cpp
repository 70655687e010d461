// 24-bit BMP: "BM", file size, 0, pixel offset 54; info header 40, width,
// positive height (bottom-up), 1 plane, 24 bits, no compression, image size,
// resolution in pixels per metre (0: unspecified), colour counts 0. Rows
// padded to 4 bytes.
#include "image/formats/BmpWriter.h"

#include <algorithm>
#include <cstring>
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
constexpr std::size_t kXPelsPerMetreAt = 38;
constexpr std::size_t kYPelsPerMetreAt = 42;

void PutLittleEndian(BmpHeaderBytes& bytes, std::size_t at, std::uint32_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// Row bytes rounded up to a multiple of 4.
std::uint64_t StrideOf(std::int32_t width) {
    const std::uint64_t rowBytes = std::uint64_t(width) * kStoredBytesPerPixel;
    return (rowBytes + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
}

// Head and padded rows: below 54 + 3 * 2^62, inside 64 bits unsigned; held
// at the largest signed value beyond that.
std::int64_t FileBytes(std::int32_t width, std::int32_t height) {
    const std::uint64_t bytes = kBmpHeaderBytes + StrideOf(width) * std::uint64_t(height);
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    return static_cast<std::int64_t>(std::min(bytes, kMax));
}

// Zeroes each row's padding, then writes the run where its rows lie: row j
// of the file (counted from the bottom) at the header's end + j x stride.
bool WriteRun(const RowShape& shape, std::int32_t first, std::int32_t count, std::uint8_t* rows,
              PositionedWriter& writer) {
    const std::int64_t stride = shape.RowBytes();
    const std::int64_t used = shape.UsedBytes();
    for (std::int32_t k = 0; k < count; ++k) {
        std::memset(rows + k * stride + used, 0, static_cast<std::size_t>(stride - used));
    }
    const std::int64_t at = static_cast<std::int64_t>(kBmpHeaderBytes) + first * stride;
    return writer.WriteAt(at, {rows, static_cast<std::size_t>(count * stride)});
}

} // namespace

std::optional<Bmp24Layout> LayoutBmp24(std::int32_t width, std::int32_t height) {
    if (width < 0 || height < 0) {
        return std::nullopt;
    }
    const std::uint64_t stride = StrideOf(width);
    const std::uint64_t imageSize = stride * std::uint64_t(height);
    const std::uint64_t fileSize = FileBytes(width, height);
    if (fileSize > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return Bmp24Layout{width, height, static_cast<std::uint32_t>(stride),
                       static_cast<std::uint32_t>(imageSize), static_cast<std::uint32_t>(fileSize)};
}

BmpHeaderBytes FormatBmp24Header(const Bmp24Layout& layout,
                                 const std::optional<Resolution>& resolution) {
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
    if (resolution) {
        PutLittleEndian(bytes, kXPelsPerMetreAt, PixelsPerMetre(resolution->x), 4);
        PutLittleEndian(bytes, kYPelsPerMetreAt, PixelsPerMetre(resolution->y), 4);
    }
    return bytes;
}

Reason WriteBmp(const RowShape& shape, const RowProducer& produce, const Replacement& output,
                const WriteOptions& options) {
    if (shape.Width <= 0 || shape.Height <= 0) {
        return {ReasonCode::Unsupported, 0, std::string(kNoPixels)};
    }
    const std::optional<Bmp24Layout> layout = LayoutBmp24(shape.Width, shape.Height);
    if (!layout) {
        return {ReasonCode::TooLarge, FileBytes(shape.Width, shape.Height), "a BMP file"};
    }
    const BmpHeaderBytes header = FormatBmp24Header(*layout, options.Meta.resolution);
    return WriteThrough(output, [&](PositionedWriter& writer) -> Reason {
        if (!writer.WriteAt(0, header)) {
            return {ReasonCode::WriteFailed};
        }
        return produce(
            [&](std::int32_t first, std::int32_t count, std::uint8_t* rows) {
                return WriteRun(shape, first, count, rows, writer);
            },
            RunRequest{.InOrder = false});
    });
}
