// Shared helpers of the image tests: an owning wrapper for decoded images and
// the pixel array a picture is expected to decode to.
#pragma once

#include "image/rows/ImageBuffer.h"
#include "tests/image/BmpWriter.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace imagetest {

// Frees what a successful load handed over.
struct OwnedImage {
    ImageBuffer image{};
    OwnedImage() = default;
    OwnedImage(const OwnedImage&) = delete;
    OwnedImage& operator=(const OwnedImage&) = delete;
    ~OwnedImage() { std::free(image.Pixels); }

    std::vector<std::uint8_t> Bytes() const {
        const std::size_t n = static_cast<std::size_t>(image.Width) * image.Height * 4;
        return n == 0 ? std::vector<std::uint8_t>{}
                      : std::vector<std::uint8_t>(image.Pixels, image.Pixels + n);
    }
};

// The decoded array of a picture of 0xRRGGBB colours: R, G, B, 255 per
// pixel; a bottom-up file's array starts with the top row, a top-down
// file's with the bottom row.
inline std::vector<std::uint8_t> ExpectedArray(const bmptest::Picture& colours, bool topDown) {
    std::vector<std::uint8_t> out;
    for (std::int32_t r = 0; r < colours.height; ++r) {
        const std::int32_t y = topDown ? colours.height - 1 - r : r;
        for (std::int32_t x = 0; x < colours.width; ++x) {
            const std::uint32_t c = colours.At(x, y);
            out.insert(out.end(),
                       {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                        static_cast<std::uint8_t>(c), 255});
        }
    }
    return out;
}

} // namespace imagetest
