// The tables are ComposeWideTables' (the curve at each raw sample's step),
// then each level rounded; without curves the level is the raw sample. The
// kernels read whole samples in the machine's order and look each up.
#include "image/kernels/WidePicture.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <utility>

namespace {

constexpr int kWideGreenShift = 8;
// Even and odd bytes of a 64-bit block swap places: four 16-bit samples
// turned over at once.
constexpr std::uint64_t kLowBytes = 0x00FF00FF00FF00FFULL;
constexpr int kByteBits = 8;
constexpr int kWideRedShift = 16;
constexpr std::uint32_t kWideOpaque = 0xFF000000u;
constexpr int kGreySamples = 1; // samples of a grey pixel
constexpr int kRgbSamples = 3;  // of a colour one

// Each raw sample as its own level: its step where curves would look it up
// is not what the file holds.
WideTables OwnSampleLevels(std::int32_t maxValue) {
    WideTables levels;
    for (WideTable& channel : levels) {
        channel.resize(kWideSamples);
        for (std::size_t v = 0; v < kWideSamples; ++v) {
            channel[v] = static_cast<std::uint16_t>(
                std::min<std::size_t>(v, static_cast<std::size_t>(std::max(maxValue, 1))));
        }
    }
    return levels;
}

template <int Samples> void WideToPreview(const RowBlock& block, const WideToneMap& map) {
    const std::uint8_t* red = map.Shown[kRed].data();
    const std::uint8_t* green = map.Shown[kGreen].data();
    const std::uint8_t* blue = map.Shown[kBlue].data();
    for (std::int32_t k = 0; k < block.Rows; ++k) {
        const auto* in = reinterpret_cast<const std::uint16_t*>(block.In + k * block.InStride);
        auto* out = reinterpret_cast<std::uint32_t*>(block.Out + k * block.OutStride);
        for (std::int64_t x = 0; x < block.Width; ++x) {
            const std::uint16_t* p = in + x * Samples;
            const std::uint16_t r = p[0];
            const std::uint16_t g = p[Samples == kGreySamples ? 0 : 1];
            const std::uint16_t b = p[Samples == kGreySamples ? 0 : 2];
            out[x] = kWideOpaque | std::uint32_t{red[r]} << kWideRedShift |
                     std::uint32_t{green[g]} << kWideGreenShift | blue[b];
        }
    }
}

template <int Samples, bool Swap> void CopyWideWords(const RowBlock& block) {
    const std::size_t bytes = static_cast<std::size_t>(block.Width) * Samples * 2;
    for (std::int32_t k = 0; k < block.Rows; ++k) {
        const std::uint8_t* in = block.In + k * block.InStride;
        std::uint8_t* out = block.Out + k * block.OutStride;
        if (in != out) { // rows read in place are where they belong
            std::memcpy(out, in, bytes);
        }
        if constexpr (Swap) {
            SwapWords({out, bytes}); // in the cache still
        }
    }
}

constexpr bool kSwapWideWords = std::endian::native != std::endian::big;

} // namespace

void SwapWords(std::span<std::uint8_t> bytes) {
    std::size_t i = 0;
    for (; i + sizeof(std::uint64_t) <= bytes.size(); i += sizeof(std::uint64_t)) {
        std::uint64_t block = 0;
        std::memcpy(&block, bytes.data() + i, sizeof block);
        block = (block & kLowBytes) << kByteBits | (block >> kByteBits & kLowBytes);
        std::memcpy(bytes.data() + i, &block, sizeof block);
    }
    for (; i + 1 < bytes.size(); i += 2) {
        std::swap(bytes[i], bytes[i + 1]);
    }
}

WideToneMap::WideToneMap(const WideCurveSet& curves, std::int32_t maxValue) {
    if (curves[kRed].size() == kWideSamples) {
        Levels = ComposeWideTables({curves[kRed], curves[kGreen], curves[kBlue]}, maxValue, false);
    } else {
        Levels = OwnSampleLevels(maxValue);
    }
    const std::vector<std::uint8_t> nearest = SampleLevels8(maxValue, kWideBits);
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        Shown[c].resize(kWideSamples);
        for (std::size_t v = 0; v < kWideSamples; ++v) {
            Shown[c][v] = curves[c].empty() ? nearest[v] : NarrowLevel(Levels[c][v]);
        }
    }
}

WidePreviewKernel WidePreviewKernelFor(const RowFormat& format) {
    if (format == kGrey16) {
        return WideToPreview<kGreySamples>;
    }
    return format == kRgb48 ? WideToPreview<kRgbSamples> : nullptr;
}

RowFormat NativeWordFormat(const RowFormat& format) {
    return format.Samples == kGreySamples ? kGrey16 : kRgb48;
}

WordCopyKernel WordCopyKernelFor(const RowFormat& format) {
    if (format == kGrey16) {
        return CopyWideWords<kGreySamples, false>;
    }
    if (format == kRgb48) {
        return CopyWideWords<kRgbSamples, false>;
    }
    if (format == kGrey16Be) {
        return CopyWideWords<kGreySamples, kSwapWideWords>;
    }
    return format == kRgb48Be ? CopyWideWords<kRgbSamples, kSwapWideWords> : nullptr;
}

WideCounts::WideCounts() {
    for (auto& channel : Channels) {
        channel.assign(kWideSamples, 0);
    }
}

void WideCounts::Add(const WideCounts& other) {
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        std::transform(other.Channels[c].begin(), other.Channels[c].end(), Channels[c].begin(),
                       Channels[c].begin(), std::plus<>());
    }
}

void WideCounts::AddRows(const std::uint8_t* rows, std::int64_t stride, std::int32_t width,
                         std::int32_t rowCount, std::int32_t samples) {
    const std::int64_t step = samples == kGreySamples ? 0 : 1;
    for (std::int32_t k = 0; k < rowCount; ++k) {
        const auto* in = reinterpret_cast<const std::uint16_t*>(rows + k * stride);
        for (std::int64_t x = 0; x < width; ++x) {
            const std::uint16_t* p = in + x * samples;
            ++Channels[kRed][p[0]];
            ++Channels[kGreen][p[step]];
            ++Channels[kBlue][p[2 * step]];
        }
    }
}

LevelHistogram FoldCounts(const WideCounts& counts, const NarrowTables& columns) {
    LevelHistogram folded;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        for (std::size_t v = 0; v < kWideSamples; ++v) {
            folded.channels[c][columns[c][v]] += counts.Channels[c][v];
        }
    }
    return folded;
}
