// BMP decoding over any byte source: header, colour table, then every stored
// row read in one call straight into its place in the pixel array.
#include "image/BmpReader.h"

#include "image/BmpHeader.h"
#include "image/BmpPixels.h"
#include "image/ParallelRows.h"
#include "image/PixelMemory.h"

#include <array>
#include <optional>

namespace {

bool ReadExactly(const ByteSource& source, std::int64_t position, void* buffer, std::int64_t size) {
    return source.ReadAt(position, buffer, static_cast<std::size_t>(size)) == size;
}

std::optional<BmpLayout> ReadLayout(const ByteSource& source) {
    const std::int64_t length = source.Length();
    std::array<std::uint8_t, kBmpHeadBytes> head{};
    if (length < kBmpMinFileLength || !ReadExactly(source, 0, head.data(), kBmpHeadBytes)) {
        return std::nullopt;
    }
    return ParseBmpHeader(head, length);
}

// The whole 256-entry table is read, entries beyond the colours-used count
// included: those come from whatever bytes follow the real table.
std::optional<BmpPalette> ReadColourTable(const ByteSource& source) {
    std::array<std::uint8_t, kBmpColourTableBytes> table{};
    if (!ReadExactly(source, kBmpColourTableOffset, table.data(), kBmpColourTableBytes)) {
        return std::nullopt;
    }
    return DecodeColourTable(table);
}

// Stored row k (0 = first in the file) lands in array row Height-1-k, so the
// array starts with the last stored row.
bool ReadRows(const ByteSource& source, const BmpLayout& layout, const BmpPalette& palette,
              std::uint8_t* pixels) {
    const std::int64_t outRowBytes = std::int64_t{layout.Width} * kImageBytesPerPixel;
    const std::int64_t storedAt = StoredRowOffset(layout.Width, layout.BytesPerPixel);
    return ForRowRanges(layout.Height, layout.Width, [&](std::int32_t begin, std::int32_t end) {
        for (std::int32_t k = begin; k < end; ++k) {
            std::uint8_t* row = pixels + (layout.Height - 1 - k) * outRowBytes;
            if (!ReadExactly(source, layout.RowPosition(k), row + storedAt, layout.RowBytes)) {
                return false;
            }
            ExpandRowInPlace(row, layout.Width, layout.BytesPerPixel, palette);
        }
        return true;
    });
}

} // namespace

int LoadBmp(ImageBuffer* image, const ByteSource& source) {
    if (image == nullptr) {
        return kBmpFailed;
    }
    const auto layout = ReadLayout(source);
    if (!layout) {
        return kBmpFailed;
    }
    BmpPalette palette{};
    if (layout->BytesPerPixel == 1) {
        const auto table = ReadColourTable(source);
        if (!table) {
            return kBmpFailed;
        }
        palette = *table;
    }
    auto pixels = AllocatePixelBlock(std::uint64_t(layout->Width) * std::uint64_t(layout->Height),
                                     kImageBytesPerPixel);
    if (!pixels) {
        return kBmpFailed;
    }
    if (layout->HasRows() && !ReadRows(source, *layout, palette, pixels->get())) {
        return kBmpFailed;
    }
    *image = ImageBuffer{layout->TopDown, layout->Width, layout->Height, pixels->release()};
    return kBmpLoaded;
}

int LoadBmpBytes(ImageBuffer* image, std::span<const std::uint8_t> bytes) {
    return LoadBmp(image, MemorySource(bytes));
}
