// Decodes and checks the BMP file header and 40-byte info header: signature
// "BM", header size 40, compression 0, depth 8/24/32, and rows that fit the file.
#include "image/BmpHeader.h"

#include <limits>

namespace {

constexpr std::uint8_t kSignature0 = 0x42; // 'B'
constexpr std::uint8_t kSignature1 = 0x4D; // 'M'
constexpr std::size_t kPixelDataOffsetField = 10;
constexpr std::size_t kInfoSizeField = 14;
constexpr std::size_t kWidthField = 18;
constexpr std::size_t kHeightField = 22;
constexpr std::size_t kBitCountField = 28;
constexpr std::size_t kCompressionField = 30;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kUncompressed = 0;
constexpr std::int64_t kBitsPerByte = 8;
// A stored row is padded to a whole number of 32-bit words.
constexpr std::int64_t kRowAlignBits = 32;

using Head = std::span<const std::uint8_t, kBmpHeadBytes>;

std::uint32_t U16(Head head, std::size_t at) {
    return static_cast<std::uint32_t>(head[at] | head[at + 1] << 8);
}

std::uint32_t U32(Head head, std::size_t at) {
    return U16(head, at) | U16(head, at + 2) << 16;
}

std::int32_t S32(Head head, std::size_t at) {
    return static_cast<std::int32_t>(U32(head, at));
}

bool IsSupportedDepth(std::uint32_t bits) {
    return bits == 8 || bits == 24 || bits == 32;
}

// The row's bit length rounded up to 32 bits, in bytes; nullopt when the
// value leaves the signed 32-bit range the format's arithmetic works in.
std::optional<std::int64_t> StrideOf(std::int32_t width, std::int64_t bits) {
    const std::int64_t rounded = (width * bits + kRowAlignBits - 1) / kRowAlignBits * kRowAlignBits;
    if (rounded > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return rounded / kBitsPerByte;
}

// The rows are read from the last stored row to the first; all of them, and
// the colour table of an 8-bit file, must lie inside the file, so that a small
// file claiming a huge image is refused before anything is allocated.
bool FitsInFile(const BmpLayout& layout, std::int64_t fileLength) {
    if (layout.BytesPerPixel == 1 &&
        kBmpColourTableOffset + static_cast<std::int64_t>(kBmpColourTableBytes) > fileLength) {
        return false;
    }
    if (!layout.HasRows()) {
        return true; // no row is read, so no row position matters
    }
    if (layout.PixelDataOffset < 0) {
        return false; // an offset of 2^31 or more reads as negative
    }
    const std::int64_t lastRowEnd = layout.RowPosition(layout.Height - 1) + layout.RowBytes;
    return lastRowEnd <= fileLength;
}

} // namespace

std::optional<BmpLayout> ParseBmpHeader(Head head, std::int64_t fileLength) {
    if (fileLength < kBmpMinFileLength || head[0] != kSignature0 || head[1] != kSignature1 ||
        U32(head, kInfoSizeField) != kInfoHeaderSize ||
        U32(head, kCompressionField) != kUncompressed ||
        !IsSupportedDepth(U16(head, kBitCountField))) {
        return std::nullopt;
    }
    const std::int32_t width = S32(head, kWidthField);
    const std::int32_t height = S32(head, kHeightField);
    // A negative width has no pixels to read, and -2^31 rows have no positive
    // count; neither can describe an image.
    if (width < 0 || height == std::numeric_limits<std::int32_t>::min()) {
        return std::nullopt;
    }
    const std::int64_t bits = U16(head, kBitCountField);
    const auto stride = StrideOf(width, bits);
    if (!stride) {
        return std::nullopt;
    }
    BmpLayout layout;
    layout.TopDown = height < 0;
    layout.Width = width;
    layout.Height = height < 0 ? -height : height;
    layout.BytesPerPixel = static_cast<std::int32_t>(bits / kBitsPerByte);
    layout.PixelDataOffset = S32(head, kPixelDataOffsetField);
    layout.Stride = *stride;
    layout.RowBytes = width * (bits / kBitsPerByte);
    if (!FitsInFile(layout, fileLength)) {
        return std::nullopt;
    }
    return layout;
}
