// One lookup per sample; the tables are made once per channel.
#include "scan/SoftwareCurves.h"

#include "curve/ChannelCurve.h"

#include <array>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kWordEntries = 65536;

template <typename Sample>
void MapSamples(SampleImage& image,
                const std::array<std::vector<std::uint16_t>, kChannelCount>& curves) {
    const std::size_t channels = static_cast<std::size_t>(image.layout.channels);
    const std::size_t samples = image.bytes.size() / sizeof(Sample);
    std::uint8_t* bytes = image.bytes.data();
    for (std::size_t i = 0; i < samples; ++i) {
        Sample value{};
        std::memcpy(&value, bytes + i * sizeof value, sizeof value);
        const std::size_t channel = channels == kChannelCount ? i % kChannelCount : std::size_t{kGreen};
        value = static_cast<Sample>(curves[channel][value]);
        std::memcpy(bytes + i * sizeof value, &value, sizeof value);
    }
}

} // namespace

void ApplyCurves(const ChannelParamsSet& channels, SampleImage& image) {
    const bool wide = image.layout.depth == kWordDepth;
    const TableShape shape =
        wide ? TableShape{kWordEntries, image.layout.MaxLevel()} : kWindowShape;
    std::array<std::vector<std::uint16_t>, kChannelCount> curves;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        curves[c].resize(shape.entries);
        ComputeChannelCurve(channels[c], curves[c], shape.maxLevel);
    }
    if (wide) {
        MapSamples<std::uint16_t>(image, curves);
    } else {
        MapSamples<std::uint8_t>(image, curves);
    }
}
