// Turns stored rows of an 8-, 24- or 32-bit BMP into stored rows of a 24-bit
// BMP through the gamma tables, giving the levels the preview shows.
#pragma once

#include "cli/BgrRows.h"
#include "curve/GammaTable.h"
#include "image/BmpHeader.h"

#include <array>
#include <cstdint>
#include <span>

class StoredRowConverter {
public:
    // `colourTable` holds the file's 256 colour-table entries (blue, green,
    // red, unused) for an 8-bit file and is ignored for the other depths.
    StoredRowConverter(const BmpLayout& layout, const std::array<GammaTable, 3>& tables,
                       std::span<const std::uint8_t> colourTable);

    // Reads `block.rows` stored rows of the input and writes them as output
    // rows: B, G, R per pixel, then zeros up to the output stride.
    void Convert(const RowBlock& block) const;

    // Lets tests compare the portable mapping of 24-bit rows with the wide
    // one; the wide one is taken only where the processor runs it.
    void UseWideMapping(bool wide) { wide_ = wide && HasWideBgrMapping(); }

private:
    void MapPixels(const RowBlock& block) const;

    std::int32_t width_;
    std::int32_t bytesPerPixel_;
    bool wide_;
    BgrLevels levels_{};
    // Output B, G, R of each colour-table index.
    std::array<std::array<std::uint8_t, kStoredChannels>, kBmpColourTableEntries> indexed_{};
};
