// Puts rows of stored blue, green, red bytes through one level table per
// channel: a portable loop, and a wide one for processors that permute 64
// bytes at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kStoredLevels = 256;
inline constexpr std::size_t kStoredChannels = 3;

// The output level of every stored byte value, per stored channel in file
// order: blue, green, red.
using BgrLevels = std::array<std::array<std::uint8_t, kStoredLevels>, kStoredChannels>;

// Row k of a block is read at in + k * inStride and written at
// out + k * outStride. A negative inStride (with `in` at the last row) takes
// the rows in reverse order.
struct RowBlock {
    const std::uint8_t* in = nullptr;
    std::int64_t inStride = 0;
    std::uint8_t* out = nullptr;
    std::int64_t outStride = 0;
    std::int32_t rows = 0;
};

// Maps the first `rowBytes` bytes of every row; byte i of a row is a level of
// channel i % 3. Input and output rows must not overlap.
void MapBgrRowsPortable(const RowBlock& block, std::int64_t rowBytes, const BgrLevels& levels);

// True when MapBgrRowsWide runs on this processor.
bool HasWideBgrMapping();

// The same bytes as MapBgrRowsPortable; may be called only where
// HasWideBgrMapping() is true.
void MapBgrRowsWide(const RowBlock& block, std::int64_t rowBytes, const BgrLevels& levels);
