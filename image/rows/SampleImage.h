// An image as rows of samples, as a scanner or a 16-bit reader gives them:
// grey (1 channel) or RGB (3, interleaved), 8 or 16 bits per sample, rows
// top to bottom without padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

inline constexpr int kGreyChannels = 1;
inline constexpr int kRgbChannels = 3;
inline constexpr int kByteDepth = 8;
inline constexpr int kWordDepth = 16;

struct SampleLayout {
    std::int32_t width = 0;
    std::int32_t height = 0;
    int channels = kRgbChannels;
    int depth = kByteDepth;

    std::size_t BytesPerSample() const { return depth == kWordDepth ? 2 : 1; }
    std::size_t RowBytes() const {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(channels) *
               BytesPerSample();
    }
    int MaxLevel() const { return depth == kWordDepth ? 65535 : 255; }
    friend bool operator==(const SampleLayout&, const SampleLayout&) = default;
};

struct SampleImage {
    SampleLayout layout;
    // RowBytes() x height bytes; a 16-bit sample is a std::uint16_t in the
    // machine's own byte order, as SANE hands it over.
    std::vector<std::uint8_t> bytes;

    std::span<const std::uint8_t> Row(std::int32_t y) const {
        const std::size_t rowBytes = layout.RowBytes();
        return {bytes.data() + static_cast<std::size_t>(y) * rowBytes, rowBytes};
    }
    // Sample `channel` of pixel (x, y), 0..MaxLevel().
    int Sample(std::int32_t x, std::int32_t y, int channel) const;
};
