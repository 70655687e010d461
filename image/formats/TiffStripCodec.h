// One TIFF strip compressed on its own, so that strips can be compressed on
// every core and written raw in order: Deflate through libdeflate (a zlib
// stream, as TIFF's Adobe Deflate holds it) or LZW through an in-memory
// libtiff encode. Both after the horizontal predictor (Predictor 2), which
// replaces each sample but the first of a row by its difference from the
// same sample of the pixel before, modulo 2^bits.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

enum class StripCodec { Deflate, Lzw };

struct StripShape {
    std::int32_t width = 0;   // pixels per row
    std::int32_t samples = 3; // per pixel
    std::int32_t bits = 8;    // per sample: 8, or 16 in the machine's byte order
};

// The horizontal predictor applied in place to whole rows.
void PredictRows(const StripShape& shape, std::span<std::uint8_t> rows);

// The strip's rows (packed, before the predictor) compressed into `out`.
// False when the encoder fails (no memory).
bool EncodeStrip(StripCodec codec, const StripShape& shape, std::span<const std::uint8_t> rows,
                 std::vector<std::uint8_t>& out);
