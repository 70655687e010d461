// The three gamma tables in the forms the kernels look them up in, built once
// per image: each table's low byte (an entry's level is taken modulo 256), the
// same shifted into a 0xFFRRGGBB preview pixel, and the colour table of an
// indexed image put through the tables.
#pragma once

#include "curve/ChannelParams.h"
#include "image/rows/StoredRows.h"

#include <array>
#include <cstdint>

inline constexpr std::size_t kLevels = 256;
using Levels = std::array<std::uint8_t, kLevels>;
using PixelTable = std::array<std::uint32_t, kLevels>;

struct ToneMap {
    // Output level of each input level, per channel: red, green, blue.
    std::array<Levels, kChannelCount> Level{};
    // Level[c] in its place of a 0xFFRRGGBB pixel; red carries the 0xFF.
    std::array<PixelTable, kChannelCount> Shifted{};
    // The preview pixel of each colour-table index (indexed rows only).
    PixelTable Indexed{};

    ToneMap(const GammaTableSet& tables, const Palette& colours);
    explicit ToneMap(const GammaTableSet& tables);

    // The 0xFFRRGGBB pixel of input levels r, g, b.
    std::uint32_t Pixel(std::uint8_t r, std::uint8_t g, std::uint8_t b) const {
        return Shifted[kRed][r] | Shifted[kGreen][g] | Shifted[kBlue][b];
    }
};
