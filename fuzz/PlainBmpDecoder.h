// A deliberately plain BMP decoder, pixel by pixel with bounds checked at
// every byte, that the fuzzer holds the real reader's results against.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct PlainImage {
    bool topDown = false;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> pixels; // R, G, B, 255; the last stored row first
};

// The image the file holds, or nullopt for a file the reader must refuse: not
// "BM", info header not 40 bytes, compressed, a depth other than 8/24/32, a
// negative width, a height of -2^31, a row length beyond 32 bits, or any byte
// it needs (colour table, rows) outside the file.
std::optional<PlainImage> DecodePlainBmp(std::span<const std::uint8_t> file);
