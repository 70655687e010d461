// Decodes and checks the BMP file header and 40-byte info header: signature
// "BM", header size 40, compression 0, depth 8/24/32, and rows that fit the file.
#include "image/formats/BmpHeader.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace {

constexpr std::uint8_t kSignature0 = 0x42; // 'B'
constexpr std::uint8_t kSignature1 = 0x4D; // 'M'
constexpr std::size_t kPixelDataOffsetField = 10;
constexpr std::size_t kInfoSizeField = 14;
constexpr std::size_t kWidthField = 18;
constexpr std::size_t kHeightField = 22;
constexpr std::size_t kBitCountField = 28;
constexpr std::size_t kCompressionField = 30;
constexpr std::size_t kXPelsPerMetreField = 38;
constexpr std::size_t kYPelsPerMetreField = 42;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kUncompressed = 0;
constexpr std::int64_t kBitsPerByte = 8;
// A stored row is padded to a whole number of 32-bit words.
constexpr std::int64_t kRowAlignBits = 32;

constexpr std::size_t kSignatureBytes = 2;

using Head = std::span<const std::uint8_t>;

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

// The fields that say which kind of BMP this is, in the order they are read.
Reason RefusedKind(Head head, std::int64_t fileLength) {
    if (head.size() < kSignatureBytes || head[0] != kSignature0 || head[1] != kSignature1) {
        return ReasonCode::NotThisFormat;
    }
    if (head.size() < kBmpHeadBytes || fileLength < kBmpMinFileLength) {
        return ReasonCode::Truncated;
    }
    if (const std::uint32_t size = U32(head, kInfoSizeField); size != kInfoHeaderSize) {
        return {ReasonCode::BmpInfoHeaderSize, size};
    }
    if (const std::uint32_t compression = U32(head, kCompressionField);
        compression != kUncompressed) {
        return {ReasonCode::BmpCompression, compression};
    }
    if (const std::uint32_t bits = U16(head, kBitCountField); !IsSupportedDepth(bits)) {
        return {ReasonCode::BmpBitDepth, bits};
    }
    return {};
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
Reason FitsInFile(const BmpLayout& layout, std::int64_t fileLength) {
    if (layout.BytesPerPixel == 1 &&
        kBmpColourTableOffset + static_cast<std::int64_t>(kBmpColourTableBytes) > fileLength) {
        return ReasonCode::Truncated;
    }
    if (!layout.HasRows()) {
        return {}; // no row is read, so no row position matters
    }
    if (layout.PixelDataOffset < 0) {
        return ReasonCode::BadHeader; // an offset of 2^31 or more reads as negative
    }
    const std::int64_t lastRowEnd = layout.RowPosition(layout.Height - 1) + layout.RowBytes;
    return lastRowEnd <= fileLength ? Reason() : Reason(ReasonCode::Truncated);
}

} // namespace

RowLayout BmpLayout::Rows() const {
    const RowFormat format = BytesPerPixel == 1 ? kIndexed8 : BytesPerPixel == 3 ? kBgr24 : kBgrx32;
    return {Width, Height, format, !TopDown, Stride};
}

Outcome<BmpLayout> ParseBmpHeader(Head head, std::int64_t fileLength) {
    if (Reason refused = RefusedKind(head, fileLength)) {
        return refused;
    }
    const std::int32_t width = S32(head, kWidthField);
    const std::int32_t height = S32(head, kHeightField);
    // A negative width has no pixels to read, and -2^31 rows have no positive
    // count; neither can describe an image.
    if (width < 0 || height == std::numeric_limits<std::int32_t>::min()) {
        return Reason(ReasonCode::BadHeader);
    }
    const std::int64_t bits = U16(head, kBitCountField);
    const auto stride = StrideOf(width, bits);
    if (!stride) {
        return Reason(ReasonCode::BadHeader);
    }
    BmpLayout layout;
    layout.TopDown = height < 0;
    layout.Width = width;
    layout.Height = height < 0 ? -height : height;
    layout.BytesPerPixel = static_cast<std::int32_t>(bits / kBitsPerByte);
    layout.PixelDataOffset = S32(head, kPixelDataOffsetField);
    layout.Stride = *stride;
    layout.RowBytes = width * (bits / kBitsPerByte);
    // Signed in the format; a negative one says nothing usable.
    layout.XPelsPerMetre = static_cast<std::uint32_t>(std::max(S32(head, kXPelsPerMetreField), 0));
    layout.YPelsPerMetre = static_cast<std::uint32_t>(std::max(S32(head, kYPelsPerMetreField), 0));
    if (Reason outside = FitsInFile(layout, fileLength)) {
        return outside;
    }
    return layout;
}
