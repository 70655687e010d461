// Level counting: every pixel adds one to its level in each channel.
#include "image/kernels/Histogram.h"

#include <algorithm>
#include <numeric>

namespace {

// A 32-bit counter of one set sees at most half the pixels counted between
// folds, so 2^32 pixels between folds can never wrap it.
constexpr std::int64_t kFoldPixels = std::int64_t{1} << 32;
constexpr std::uint32_t kLevelMask = 0xFF;

} // namespace

void LevelCounter::AddRows(const std::uint8_t* rows, std::int32_t width, std::int32_t rowCount) {
    const std::int64_t pixels = std::int64_t{width} * rowCount;
    for (std::int64_t done = 0; done < pixels;) {
        if (pending_ == kFoldPixels) {
            Fold();
        }
        const std::int64_t n = std::min(kFoldPixels - pending_, pixels - done);
        const std::uint8_t* p = rows + done * kImageBytesPerPixel;
        std::int64_t i = 0;
        for (; i + 1 < n; i += 2, p += 2 * kImageBytesPerPixel) {
            ++sets_[0][kRed][p[0]], ++sets_[0][kGreen][p[1]], ++sets_[0][kBlue][p[2]];
            ++sets_[1][kRed][p[4]], ++sets_[1][kGreen][p[5]], ++sets_[1][kBlue][p[6]];
        }
        if (i < n) {
            ++sets_[0][kRed][p[0]], ++sets_[0][kGreen][p[1]], ++sets_[0][kBlue][p[2]];
        }
        pending_ += n;
        done += n;
    }
}

void LevelCounter::Fold() {
    for (auto& set : sets_) {
        for (std::size_t c = 0; c < kChannelCount; ++c) {
            for (std::size_t level = 0; level < kLevelCount; ++level) {
                folded_.channels[c][level] += set[c][level];
            }
            set[c].fill(0);
        }
    }
    pending_ = 0;
}

LevelHistogram LevelCounter::Total() const {
    LevelCounter copy = *this;
    copy.Fold();
    return copy.folded_;
}

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
