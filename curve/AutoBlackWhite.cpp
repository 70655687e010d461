// The clip rule: cumulative counts from each end compared with c * n / 100.
#include "curve/AutoBlackWhite.h"

#include <algorithm>
#include <numeric>

namespace {

// Black levels run 0..10 (the slider's 0.0..10.0); White never goes below 200.
constexpr int kBlackTopLevel = 10;
constexpr int kBlackPositionsPerLevel = 10;
constexpr int kWhiteFloorLevel = 200;
constexpr int kTopLevel = static_cast<int>(kLevelCount) - 1;

bool WithinClip(std::uint64_t count, double threshold) {
    return static_cast<double>(count) <= threshold;
}

int BlackLevel(const LevelCounts& counts, double threshold) {
    int black = 0;
    std::uint64_t below = 0;
    for (int level = 0; level <= kBlackTopLevel; ++level) {
        below += counts[level];
        if (!WithinClip(below, threshold)) {
            break;
        }
        black = level;
    }
    return black;
}

// The count at and above L grows as L falls, so the first level from the top
// that exceeds t ends the search; White is the level above it.
int WhiteLevel(const LevelCounts& counts, double threshold) {
    std::uint64_t above = 0;
    for (int level = kTopLevel; level >= 0; --level) {
        above += counts[level];
        if (!WithinClip(above, threshold)) {
            return level == kTopLevel ? kTopLevel : level + 1;
        }
    }
    return 0; // every level within t: the smallest level is 0
}

} // namespace

BlackWhitePositions AutoBlackWhite(const LevelCounts& counts, double clipPercent) {
    const std::uint64_t n = std::accumulate(counts.begin(), counts.end(), std::uint64_t{0});
    const double threshold = clipPercent * static_cast<double>(n) / 100.0;
    const int white = std::max(WhiteLevel(counts, threshold), kWhiteFloorLevel);
    return {BlackLevel(counts, threshold) * kBlackPositionsPerLevel, white};
}

ParamPositions WithAutoBlackWhite(ParamPositions channel, const LevelCounts& counts,
                                  double clipPercent) {
    const BlackWhitePositions bw = AutoBlackWhite(counts, clipPercent);
    channel.black = bw.black;
    channel.white = bw.white;
    return channel;
}
