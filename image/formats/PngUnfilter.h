// PNG's filter method 0: each row of a non-interlaced image is stored as a
// filter type byte and the row's bytes as that filter made them from the
// row above (zeros above the first row) and the pixel to the left.
#pragma once

#include <cstddef>
#include <cstdint>

// Undoes filter `type` (0 none, 1 Sub, 2 Up, 3 Average, 4 Paeth) of one row
// of `rowBytes` bytes from `filtered` into `row`, where `pixelBytes` bytes
// make a whole pixel (at least 1). False for any other type.
bool UnfilterRow(std::uint8_t type, const std::uint8_t* filtered, const std::uint8_t* above,
                 std::size_t rowBytes, std::size_t pixelBytes, std::uint8_t* row);
