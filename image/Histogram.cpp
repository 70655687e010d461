// Level counting. Two interleaved sets of 32-bit counters per channel let
// neighbouring pixels of one level update different memory, so a run of equal
// pixels does not wait on its own increments; the sets are folded into the
// 64-bit totals at least every 2^31 pixels, before a counter could wrap.
#include "image/Histogram.h"

#include "image/ParallelRows.h"

#include <algorithm>
#include <mutex>
#include <numeric>

namespace {

constexpr std::int64_t kFoldPixels = std::int64_t{1} << 31;
constexpr std::uint32_t kLevelMask = 0xFF;
constexpr int kHighByteShift = 8;
constexpr std::int64_t kSamplesPerPixel16 = 3;

struct Counters {
    std::array<std::array<std::uint32_t, kLevelCount>, kChannelCount> set[2]{};

    void FoldInto(LevelHistogram& into) const {
        for (std::size_t c = 0; c < kChannelCount; ++c) {
            for (std::size_t level = 0; level < kLevelCount; ++level) {
                into.channels[c][level] += std::uint64_t{set[0][c][level]} + set[1][c][level];
            }
        }
    }
};

// Calls count(first, pixels) over the rows in pieces small enough for Counters.
template <typename Pixel, typename CountPiece>
void InPieces(const Pixel* rows, std::int64_t pixels, std::int64_t stride, LevelHistogram& into,
              CountPiece count) {
    for (std::int64_t done = 0; done < pixels; done += kFoldPixels) {
        Counters counters;
        count(rows + done * stride, std::min(kFoldPixels, pixels - done), counters);
        counters.FoldInto(into);
    }
}

} // namespace

std::uint64_t LevelHistogram::Pixels() const {
    return std::accumulate(channels[kRed].begin(), channels[kRed].end(), std::uint64_t{0});
}

void LevelHistogram::Add(const LevelHistogram& other) {
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        for (std::size_t level = 0; level < kLevelCount; ++level) {
            channels[c][level] += other.channels[c][level];
        }
    }
}

void CountRows(const std::uint8_t* rows, std::int32_t width, std::int32_t rowCount,
               LevelHistogram& into) {
    const std::int64_t pixels = std::int64_t{width} * rowCount;
    InPieces(rows, pixels, kImageBytesPerPixel, into,
             [](const std::uint8_t* p, std::int64_t n, Counters& k) {
                 std::int64_t i = 0;
                 for (; i + 1 < n; i += 2, p += 2 * kImageBytesPerPixel) {
                     ++k.set[0][kRed][p[0]], ++k.set[0][kGreen][p[1]], ++k.set[0][kBlue][p[2]];
                     ++k.set[1][kRed][p[4]], ++k.set[1][kGreen][p[5]], ++k.set[1][kBlue][p[6]];
                 }
                 if (i < n) {
                     ++k.set[0][kRed][p[0]], ++k.set[0][kGreen][p[1]], ++k.set[0][kBlue][p[2]];
                 }
             });
}

void CountRows16(const std::uint16_t* rows, std::int32_t width, std::int32_t rowCount,
                 LevelHistogram& into) {
    const std::int64_t pixels = std::int64_t{width} * rowCount;
    InPieces(rows, pixels, kSamplesPerPixel16, into,
             [](const std::uint16_t* p, std::int64_t n, Counters& k) {
                 for (std::int64_t i = 0; i < n; ++i, p += kSamplesPerPixel16) {
                     for (std::size_t c = 0; c < kChannelCount; ++c) {
                         ++k.set[i & 1][c][p[c] >> kHighByteShift];
                     }
                 }
             });
}

LevelHistogram CountLevels(const ImageBuffer& image) {
    LevelHistogram total;
    if (image.Pixels == nullptr) {
        return total;
    }
    const std::int64_t rowBytes = std::int64_t{image.Width} * kImageBytesPerPixel;
    std::mutex merge;
    ForRowRanges(image.Height, image.Width, [&](std::int32_t begin, std::int32_t end) {
        LevelHistogram part;
        CountRows(image.Pixels + begin * rowBytes, image.Width, end - begin, part);
        const std::lock_guard lock(merge);
        total.Add(part);
        return true;
    });
    return total;
}

LevelHistogram OutputHistogram(const LevelHistogram& input,
                               const std::array<GammaTable, kChannelCount>& tables) {
    LevelHistogram output;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        for (std::size_t level = 0; level < kLevelCount; ++level) {
            const auto shown = static_cast<std::uint32_t>(tables[c][level]) & kLevelMask;
            output.channels[c][shown] += input.channels[c][level];
        }
    }
    return output;
}
