// Kernels from stored rows through the tone map: to the preview's 0xFFRRGGBB
// rows, and to the B, G, R rows of a 24-bit BMP. One kernel per stored row
// format; the AVX-512 VBMI one is chosen only where the processor runs it.
#pragma once

#include "image/kernels/ToneMap.h"
#include "image/rows/StoredRows.h"

#include <cstdint>

// Row k of a block is read at In + k * InStride and written at
// Out + k * OutStride; a negative stride walks the rows backwards. Input and
// output rows must not overlap.
struct RowBlock {
    const std::uint8_t* In = nullptr;
    std::int64_t InStride = 0;
    std::uint8_t* Out = nullptr;
    std::int64_t OutStride = 0;
    std::int32_t Rows = 0;
    std::int32_t Width = 0;
};

using RowKernel = void (*)(const RowBlock& block, const ToneMap& map);

// Writes Width 32-bit pixels 0xFFRRGGBB per row (native byte order). Null
// for a format no kernel reads.
RowKernel PreviewKernel(const RowFormat& format);

// Writes 3 * Width bytes B, G, R per row and nothing after them. `wide`
// allows the AVX-512 VBMI kernel of 24-bit rows where the processor has it;
// both give the same bytes. Null for a format no kernel reads.
RowKernel BgrKernel(const RowFormat& format, bool wide = true);

// Writes 3 * Width bytes R, G, B per row: the same levels as BgrKernel in
// the order of PNM, PNG, TIFF and JPEG; `wide` as for BgrKernel, for
// 24-bit R, G, B rows. Null for a format no kernel reads.
RowKernel RgbKernel(const RowFormat& format, bool wide = true);

// Writes Width bytes per row: each pixel's green level through the green
// table, for a grey image whose three tables are equal (so its output stays
// grey), from the R, G, B, 255 levels of its rows. Null for another format.
RowKernel GreyKernel(const RowFormat& format);

// True when the processor runs the AVX-512 VBMI kernel.
bool HasAvx512Vbmi();
// 24-bit B, G, R (or R, G, B) rows through the tables into rows of the same
// order, 64 bytes at a time; call only where HasAvx512Vbmi() is true.
void MapBgrRowsAvx512Vbmi(const RowBlock& block, const ToneMap& map);
void MapRgbRowsAvx512Vbmi(const RowBlock& block, const ToneMap& map);
