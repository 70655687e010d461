// Per-channel counts of the 8-bit input levels of an image (the levels the
// preview looks up in the tables), and the counts after the tables.
#pragma once

#include "curve/AutoBlackWhite.h"
#include "curve/ChannelParams.h"
#include "image/rows/ImageBuffer.h"

#include <array>
#include <cstdint>

struct LevelHistogram {
    std::array<LevelCounts, kChannelCount> channels{}; // indexed by Channel

    // The pixel count n: every pixel adds one to each channel.
    std::uint64_t Pixels() const;
    void Add(const LevelHistogram& other);
    friend bool operator==(const LevelHistogram&, const LevelHistogram&) = default;
};

// Counts rows as a reader hands them over, one band after another, so that
// each band is counted while it is still in the cache.
class LevelCounter {
public:
    // Adds `rowCount` packed rows of `width` 4-byte pixels (red, green, blue,
    // unused), the layout of ImageBuffer.
    void AddRows(const std::uint8_t* rows, std::int32_t width, std::int32_t rowCount);
    // Everything added so far.
    LevelHistogram Total() const;

private:
    // Two interleaved sets, so that neighbouring pixels of one level update
    // different memory and a run of equal pixels does not wait on its own
    // increments; folded into the 64-bit totals before a counter could wrap.
    using Sets = std::array<std::array<std::array<std::uint32_t, kLevelCount>, kChannelCount>, 2>;
    void Fold();

    Sets sets_{};
    std::int64_t pending_ = 0; // pixels counted in sets_
    LevelHistogram folded_;
};

// Where the pixels land after the tables: output level table[L] & 0xFF
// receives the count of input level L, as the preview renders it.
LevelHistogram OutputHistogram(const LevelHistogram& input,
                               const std::array<GammaTable, kChannelCount>& tables);
