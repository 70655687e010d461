// A decoded BMP: Width x Height pixels of 4 bytes (red, green, blue, 255).
#pragma once

#include <cstdint>

inline constexpr std::int32_t kImageBytesPerPixel = 4;
inline constexpr std::uint8_t kOpaque = 255;

struct ImageBuffer {
    // True when the file stored its rows top-down (negative height field); the
    // array then starts with the image's bottom row.
    bool TopDown;
    std::int32_t Width;
    // Always the number of rows, never negative.
    std::int32_t Height;
    // From malloc, released by the holder with free. Rows are packed without
    // gaps; row 0 is the last row stored in the file.
    std::uint8_t* Pixels;

    // An image is loaded and has a pixel to show.
    bool HasPixels() const { return Pixels != nullptr && Width > 0 && Height > 0; }
};
