// Stored BMP pixels to output B, G, R bytes: a 24-bit pixel's bytes go
// straight through their channel's table, a 32-bit pixel drops its fourth
// byte, and an 8-bit index takes its colour-table entry's three levels.
#include "cli/StoredRowConverter.h"

#include "curve/ChannelParams.h"

#include <cstring>

namespace {

constexpr std::uint32_t kLevelMask = 0xFF; // tables hold 0..255; only the low byte counts
constexpr std::int32_t kIndexedBytes = 1;
constexpr std::int32_t kBgrBytes = 3;
constexpr std::int32_t kBgrxBytes = 4;

// Stored channel order: blue, green, red.
constexpr std::array<int, kStoredChannels> kTableOfStoredChannel = {kBlue, kGreen, kRed};

BgrLevels LevelsOf(const std::array<GammaTable, 3>& tables) {
    BgrLevels levels{};
    for (std::size_t c = 0; c < kStoredChannels; ++c) {
        const GammaTable& table = tables[static_cast<std::size_t>(kTableOfStoredChannel[c])];
        for (std::size_t i = 0; i < kStoredLevels; ++i) {
            levels[c][i] =
                static_cast<std::uint8_t>(static_cast<std::uint32_t>(table[i]) & kLevelMask);
        }
    }
    return levels;
}

void MapBgrxRow(const std::uint8_t* in, std::uint8_t* out, std::int32_t width,
                const BgrLevels& levels) {
    for (std::int64_t x = 0; x < width; ++x) {
        for (std::size_t c = 0; c < kStoredChannels; ++c) {
            out[x * kBgrBytes + std::int64_t(c)] = levels[c][in[x * kBgrxBytes + std::int64_t(c)]];
        }
    }
}

template <typename Indexed>
void MapIndexedRow(const std::uint8_t* in, std::uint8_t* out, std::int32_t width,
                   const Indexed& indexed) {
    for (std::int64_t x = 0; x < width; ++x) {
        std::memcpy(out + x * kBgrBytes, indexed[in[x]].data(), kBgrBytes);
    }
}

} // namespace

StoredRowConverter::StoredRowConverter(const BmpLayout& layout,
                                       const std::array<GammaTable, 3>& tables,
                                       std::span<const std::uint8_t> colourTable)
    : width_(layout.Width), bytesPerPixel_(layout.BytesPerPixel), wide_(HasWideBgrMapping()),
      levels_(LevelsOf(tables)) {
    if (bytesPerPixel_ != kIndexedBytes || colourTable.size() < kBmpColourTableBytes) {
        return;
    }
    for (std::size_t i = 0; i < kBmpColourTableEntries; ++i) {
        for (std::size_t c = 0; c < kStoredChannels; ++c) {
            indexed_[i][c] = levels_[c][colourTable[i * kBmpColourEntryBytes + c]];
        }
    }
}

void StoredRowConverter::MapPixels(const RowBlock& block) const {
    if (bytesPerPixel_ == kBgrBytes) {
        const std::int64_t rowBytes = std::int64_t{width_} * kBgrBytes;
        if (wide_) {
            MapBgrRowsWide(block, rowBytes, levels_);
        } else {
            MapBgrRowsPortable(block, rowBytes, levels_);
        }
        return;
    }
    for (std::int32_t k = 0; k < block.rows; ++k) {
        const std::uint8_t* in = block.in + k * block.inStride;
        std::uint8_t* out = block.out + k * block.outStride;
        if (bytesPerPixel_ == kBgrxBytes) {
            MapBgrxRow(in, out, width_, levels_);
        } else {
            MapIndexedRow(in, out, width_, indexed_);
        }
    }
}

void StoredRowConverter::Convert(const RowBlock& block) const {
    MapPixels(block);
    const std::int64_t used = std::int64_t{width_} * kBgrBytes;
    for (std::int32_t k = 0; k < block.rows; ++k) {
        std::memset(block.out + k * block.outStride + used, 0,
                    static_cast<std::size_t>(block.outStride - used));
    }
}
