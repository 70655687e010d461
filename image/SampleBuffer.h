// Scanned rows as the decoded image the window keeps: 8-bit R, G, B, 255 per
// pixel, row 0 at the top, as a bottom-up BMP loads.
#pragma once

#include "image/ImageBuffer.h"
#include "image/SampleImage.h"

#include <cstdint>

// 16-bit samples v become levels (v * 255 + 32767) / 65535, the nearest; grey
// samples fill red, green and blue alike. False when the pixels cannot be
// had (`out` untouched); the holder frees Pixels as for a loaded BMP.
bool ToImageBuffer(const SampleImage& image, ImageBuffer& out);

// The 8-bit level nearest to a 16-bit one.
constexpr std::uint8_t LevelOf16(std::uint32_t sample) {
    constexpr std::uint32_t kTop = 65535;
    constexpr std::uint32_t kTopLevel = 255;
    return static_cast<std::uint8_t>((sample * kTopLevel + kTop / 2) / kTop);
}
