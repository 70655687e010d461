// BMP head and colour table: 54 bytes at 0, then for 8-bit files 256 entries
// of blue, green, red, unused at 54; rows at the pixel offset, Stride apart.
#include "image/formats/BmpRows.h"

#include <algorithm>
#include <array>

namespace {

Outcome<BmpLayout> ReadLayout(const ByteSource& source) {
    const std::int64_t length = source.Length();
    if (length < 0) {
        return Reason(ReasonCode::ReadFailed);
    }
    std::array<std::uint8_t, kBmpHeadBytes> head{};
    const std::int64_t got = std::min<std::int64_t>(length, kBmpHeadBytes);
    if (Reason failed = ReadAll(source, 0, head.data(), got)) {
        return failed;
    }
    return ParseBmpHeader(std::span(head.data(), static_cast<std::size_t>(got)), length);
}

// The whole 256-entry table is read, entries beyond the colours-used count
// included: those come from whatever bytes follow the real table.
Reason ReadColourTable(const ByteSource& source, Palette& colours) {
    std::array<std::uint8_t, kBmpColourTableBytes> table{};
    if (Reason failed =
            ReadAll(source, kBmpColourTableOffset, table.data(), kBmpColourTableBytes)) {
        return failed;
    }
    for (std::size_t i = 0; i < kPaletteEntries; ++i) {
        const std::uint8_t* entry = &table[i * kBmpColourEntryBytes];
        colours[i] = {entry[2], entry[1], entry[0]};
    }
    return {};
}

} // namespace

Outcome<BmpRows> BmpRows::Open(const ByteSource& source) {
    Outcome<BmpLayout> layout = ReadLayout(source);
    if (!layout) {
        return layout.Why();
    }
    BmpRows rows(source, *layout);
    if (layout->BytesPerPixel == 1) {
        if (Reason failed = ReadColourTable(source, rows.colours_)) {
            return failed;
        }
    }
    return rows;
}

std::int64_t BmpRows::ScratchBytes(std::int32_t count) const {
    return std::int64_t{count - 1} * bmp_.Stride + bmp_.RowBytes;
}

FetchedRows BmpRows::Rows(std::int32_t first, std::int32_t count, std::uint8_t* scratch) const {
    Reason failed = ReadAll(*source_, bmp_.RowPosition(first), scratch, ScratchBytes(count));
    return {failed ? nullptr : scratch, std::move(failed)};
}
