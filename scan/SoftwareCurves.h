// The tables applied to scanned rows, for devices that take none: each
// sample looked up in its channel's curve at the sample's own depth.
#pragma once

#include "curve/ChannelParams.h"
#include "image/rows/SampleImage.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// Rows of a page as they come, mapped in place: 8-bit samples through the
// window's 256-entry tables, exactly as apply maps a BMP; 16-bit samples
// through the same curves at 65536 entries of 0..65535. A grey page takes the
// green curve, the one nearest brightness. The curves are made once.
class RowCurves {
public:
    RowCurves(const ChannelParamsSet& channels, const SampleLayout& layout);
    // Whole rows of the layout, mapped in place.
    void Map(std::span<std::uint8_t> rows) const;

private:
    SampleLayout layout_;
    std::array<std::vector<std::uint16_t>, kChannelCount> curves_;
};
