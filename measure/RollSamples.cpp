// Cells are counted per channel for the percentiles; every k-th cell in
// reading order is kept, k the least that keeps at most kMostAxisCells.
#include "measure/RollSamples.h"

#include "measure/FilmFit.h"

#include <algorithm>

namespace {

// The cells wholly inside `pixels` from `from` to `from + size`, at least one.
std::pair<std::int32_t, std::int32_t> InnerCells(std::int32_t from, std::int32_t size,
                                                 std::int32_t cell, std::int32_t cells) {
    std::int32_t first = (from + cell - 1) / cell;
    std::int32_t end = (from + size) / cell;
    if (end <= first) {
        first = std::min(from / cell, cells - 1);
        end = first + 1;
    }
    return {first, end};
}

} // namespace

FrameSample SampleFrame(const StripMap& map, const PixelRect& frame) {
    const auto [x0, x1] = InnerCells(frame.left, frame.width, map.cell, map.columns);
    const auto [y0, y1] = InnerCells(frame.top, frame.height, map.cell, map.rows);
    ChannelCounts counts = EmptyChannelCounts();
    const auto total = std::size_t(x1 - x0) * std::size_t(y1 - y0);
    const std::size_t every = (total + kMostAxisCells - 1) / kMostAxisCells;
    FrameSample sample;
    sample.rect = frame;
    std::size_t seen = 0;
    for (std::int32_t y = y0; y < y1; ++y) {
        for (std::int32_t x = x0; x < x1; ++x, ++seen) {
            const CellSteps& cell = map.At(x, y);
            for (std::size_t c = 0; c < kChannelCount; ++c) {
                ++counts[c][cell[c]];
            }
            if (seen % every == 0) {
                sample.cells.push_back(cell);
            }
        }
    }
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        sample.highlight[c] = TransmissionAt(counts[c], kHighlightShare);
    }
    sample.pooledHighlight = TransmissionAt(Pooled(counts), kHighlightShare);
    return sample;
}

StripSample SampleStrip(const StripMap& map, const StripFrames& frames) {
    StripSample strip{frames.base, {}};
    for (const PixelRect& frame : frames.frames) {
        strip.frames.push_back(SampleFrame(map, frame));
    }
    return strip;
}
