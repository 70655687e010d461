// One stored row of any format a reader gives, as red, green and blue steps
// of 0..65535: a scan's sample v of maxval m is (min(v, m) * 65535 + m / 2) / m
// (grey on all three), a BMP's or the kept image's 8-bit level v is v * 257.
#pragma once

#include "image/formats/BmpPixels.h"
#include "image/rows/StoredRows.h"

#include <cstdint>
#include <vector>

inline constexpr std::int64_t kStepsPerPixel = 3; // red, green, blue

class RowSteps {
public:
    // `source` must outlive this.
    explicit RowSteps(const RowSource& source);

    // `wide` holds 4 * Width bytes of scratch; `out` takes 3 * Width steps.
    void Convert(const std::uint8_t* stored, std::uint8_t* wide, std::uint16_t* out) const;

private:
    void ScanRow(const std::uint8_t* stored, std::uint16_t* out) const;

    const RowLayout& layout_;
    bool scan_;
    BmpPalette palette_;
    std::vector<std::uint16_t> steps_; // of each raw sample value, for a scan
};
