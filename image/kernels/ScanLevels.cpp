// Level = (min(v, m) * top + m / 2) / m, in 64-bit integers; then the
// kernels look every sample up, pixel by pixel.
#include "image/kernels/ScanLevels.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr std::uint32_t kTop8 = 255;
constexpr std::uint32_t kTop16 = 65535;
constexpr std::size_t kWideEntries = 65536;
constexpr std::int64_t kRgbx = 4;
constexpr std::int64_t kRgb = 3;

std::uint32_t Scaled(std::uint32_t v, std::uint32_t maxValue, std::uint32_t top) {
    const std::uint64_t clamped = std::min(v, maxValue);
    return static_cast<std::uint32_t>((clamped * top + maxValue / 2) / maxValue);
}

// Sample i of a row; a 16-bit sample stored in the other byte order is
// swapped here, in the kernel's one pass over the row.
template <typename Sample, bool Swap = false>
Sample SampleAt(const std::uint8_t* p, std::int64_t i) {
    Sample s;
    std::memcpy(&s, p + i * std::int64_t{sizeof(Sample)}, sizeof s);
    if constexpr (Swap) {
        s = static_cast<Sample>(s >> 8 | s << 8);
    }
    return s;
}

constexpr bool kSwapBigEndian = std::endian::native != std::endian::big;

template <typename Sample, int Samples, bool Swap = false>
void ToLevels(const RowBlock& block, std::span<const std::uint8_t> levels) {
    const std::uint8_t* table = levels.data();
    for (std::int32_t k = 0; k < block.Rows; ++k) {
        const std::uint8_t* in = block.In + k * block.InStride;
        std::uint8_t* out = block.Out + k * block.OutStride;
        for (std::int64_t x = 0; x < block.Width; ++x) {
            std::uint8_t* px = out + x * kRgbx;
            if constexpr (Samples == 1) {
                const std::uint8_t level = table[SampleAt<Sample, Swap>(in, x)];
                px[0] = level;
                px[1] = level;
                px[2] = level;
            } else {
                px[0] = table[SampleAt<Sample, Swap>(in, x * 3)];
                px[1] = table[SampleAt<Sample, Swap>(in, x * 3 + 1)];
                px[2] = table[SampleAt<Sample, Swap>(in, x * 3 + 2)];
            }
            px[3] = kTop8;
        }
    }
}

template <int Samples, bool Swap = false, std::int64_t OutSamples = kRgb>
void ToWide(const RowBlock& block, const WideTables& tables) {
    const std::uint16_t* red = tables[kRed].data();
    const std::uint16_t* green = tables[kGreen].data();
    const std::uint16_t* blue = tables[kBlue].data();
    for (std::int32_t k = 0; k < block.Rows; ++k) {
        const std::uint8_t* in = block.In + k * block.InStride;
        auto* out = reinterpret_cast<std::uint16_t*>(block.Out + k * block.OutStride);
        for (std::int64_t x = 0; x < block.Width; ++x) {
            std::uint16_t* px = out + x * OutSamples;
            if constexpr (OutSamples == 1) {
                px[0] = green[SampleAt<std::uint16_t, Swap>(in, x)];
            } else if constexpr (Samples == 1) {
                const std::uint16_t v = SampleAt<std::uint16_t, Swap>(in, x);
                px[0] = red[v];
                px[1] = green[v];
                px[2] = blue[v];
            } else {
                px[0] = red[SampleAt<std::uint16_t, Swap>(in, x * 3)];
                px[1] = green[SampleAt<std::uint16_t, Swap>(in, x * 3 + 1)];
                px[2] = blue[SampleAt<std::uint16_t, Swap>(in, x * 3 + 2)];
            }
        }
    }
}

} // namespace

std::vector<std::uint8_t> SampleLevels8(std::int32_t maxValue, std::int32_t bitsPerSample) {
    const std::size_t entries = std::size_t{1} << bitsPerSample;
    const auto m = static_cast<std::uint32_t>(std::max(maxValue, 1));
    std::vector<std::uint8_t> levels(entries);
    for (std::size_t v = 0; v < entries; ++v) {
        levels[v] = static_cast<std::uint8_t>(Scaled(static_cast<std::uint32_t>(v), m, kTop8));
    }
    return levels;
}

LevelKernel LevelKernelFor(const RowFormat& format) {
    if (format == kGrey8) {
        return ToLevels<std::uint8_t, 1>;
    }
    if (format == kRgb24) {
        return ToLevels<std::uint8_t, 3>;
    }
    if (format == kGrey16) {
        return ToLevels<std::uint16_t, 1>;
    }
    if (format == kGrey16Be) {
        return ToLevels<std::uint16_t, 1, kSwapBigEndian>;
    }
    if (format == kRgb48Be) {
        return ToLevels<std::uint16_t, 3, kSwapBigEndian>;
    }
    return format == kRgb48 ? ToLevels<std::uint16_t, 3> : nullptr;
}

WideTables
ComposeWideTables(const std::array<std::span<const std::uint16_t>, kChannelCount>& curves,
                  std::int32_t maxValue, bool bigEndian) {
    const auto m = static_cast<std::uint32_t>(std::max(maxValue, 1));
    const bool swap = bigEndian != (std::endian::native == std::endian::big);
    WideTables tables;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        tables[c].resize(kWideEntries);
        for (std::size_t v = 0; v < kWideEntries; ++v) {
            const std::uint16_t level = curves[c][Scaled(static_cast<std::uint32_t>(v), m, kTop16)];
            tables[c][v] = swap ? static_cast<std::uint16_t>(level >> 8 | level << 8) : level;
        }
    }
    return tables;
}

WideKernel WideKernelFor(const RowFormat& format, std::int32_t channels) {
    if (channels == 1) {
        return format == kGrey16     ? ToWide<1, false, 1>
               : format == kGrey16Be ? ToWide<1, kSwapBigEndian, 1>
                                     : nullptr;
    }
    if (format == kGrey16) {
        return ToWide<1>;
    }
    if (format == kGrey16Be) {
        return ToWide<1, kSwapBigEndian>;
    }
    if (format == kRgb48Be) {
        return ToWide<3, kSwapBigEndian>;
    }
    return format == kRgb48 ? ToWide<3> : nullptr;
}
