// The portable level mapping of stored B, G, R rows.
#include "cli/BgrRows.h"

namespace {

void MapRow(const std::uint8_t* in, std::uint8_t* out, std::int64_t rowBytes,
            const BgrLevels& levels) {
    const auto& blue = levels[0];
    const auto& green = levels[1];
    const auto& red = levels[2];
    std::int64_t i = 0;
    for (; i + 3 <= rowBytes; i += 3) {
        out[i] = blue[in[i]];
        out[i + 1] = green[in[i + 1]];
        out[i + 2] = red[in[i + 2]];
    }
    for (; i < rowBytes; ++i) {
        out[i] = levels[static_cast<std::size_t>(i % 3)][in[i]];
    }
}

} // namespace

void MapBgrRowsPortable(const RowBlock& block, std::int64_t rowBytes, const BgrLevels& levels) {
    for (std::int32_t k = 0; k < block.rows; ++k) {
        MapRow(block.in + k * block.inStride, block.out + k * block.outStride, rowBytes, levels);
    }
}
