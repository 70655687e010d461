// Each filter predicts a byte from a (the byte one pixel to the left, 0 at
// the row's start), b (the byte above) and c (the byte above a) and stores
// the difference modulo 256: Sub predicts a, Up b, Average floor((a + b) /
// 2), Paeth whichever of a, b, c lies nearest p = a + b - c (ties go to a,
// then b).
#include "image/formats/PngUnfilter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

enum FilterType : std::uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

std::uint8_t PaethPredictor(int a, int b, int c) {
    const int pa = std::abs(b - c); // |p - a|
    const int pb = std::abs(a - c); // |p - b|
    const int pc = std::abs(a + b - 2 * c);
    if (pa <= pb && pa <= pc) {
        return static_cast<std::uint8_t>(a);
    }
    return static_cast<std::uint8_t>(pb <= pc ? b : c);
}

} // namespace

bool UnfilterRow(std::uint8_t type, const std::uint8_t* filtered, const std::uint8_t* above,
                 std::size_t rowBytes, std::size_t pixelBytes, std::uint8_t* row) {
    const std::size_t first = std::min(pixelBytes, rowBytes); // bytes with no left neighbour
    switch (type) {
    case kNone:
        std::memcpy(row, filtered, rowBytes);
        return true;
    case kSub:
        std::memcpy(row, filtered, first);
        for (std::size_t i = first; i < rowBytes; ++i) {
            row[i] = static_cast<std::uint8_t>(filtered[i] + row[i - pixelBytes]);
        }
        return true;
    case kUp:
        for (std::size_t i = 0; i < rowBytes; ++i) {
            row[i] = static_cast<std::uint8_t>(filtered[i] + above[i]);
        }
        return true;
    case kAverage:
        for (std::size_t i = 0; i < first; ++i) {
            row[i] = static_cast<std::uint8_t>(filtered[i] + above[i] / 2);
        }
        for (std::size_t i = first; i < rowBytes; ++i) {
            row[i] = static_cast<std::uint8_t>(filtered[i] + (row[i - pixelBytes] + above[i]) / 2);
        }
        return true;
    case kPaeth:
        for (std::size_t i = 0; i < first; ++i) {
            row[i] = static_cast<std::uint8_t>(filtered[i] + above[i]); // a = c = 0: b wins
        }
        for (std::size_t i = first; i < rowBytes; ++i) {
            row[i] = static_cast<std::uint8_t>(
                filtered[i] + PaethPredictor(row[i - pixelBytes], above[i], above[i - pixelBytes]));
        }
        return true;
    default:
        return false;
    }
}
