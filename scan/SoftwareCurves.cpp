// One lookup per sample; the tables are made once per channel.
#include "scan/SoftwareCurves.h"

#include "curve/ChannelCurve.h"

#include <cstring>

namespace {

constexpr std::size_t kWordEntries = 65536;

using Curves = std::array<std::vector<std::uint16_t>, kChannelCount>;

template <typename Sample>
void MapSamples(std::span<std::uint8_t> bytes, int channels, const Curves& curves) {
    const std::size_t samples = bytes.size() / sizeof(Sample);
    for (std::size_t i = 0; i < samples; ++i) {
        Sample value{};
        std::memcpy(&value, bytes.data() + i * sizeof value, sizeof value);
        const std::size_t channel =
            channels == static_cast<int>(kChannelCount) ? i % kChannelCount : std::size_t{kGreen};
        value = static_cast<Sample>(curves[channel][value]);
        std::memcpy(bytes.data() + i * sizeof value, &value, sizeof value);
    }
}

} // namespace

RowCurves::RowCurves(const ChannelParamsSet& channels, const SampleLayout& layout)
    : layout_(layout) {
    const TableShape shape =
        layout.depth == kWordDepth ? TableShape{kWordEntries, layout.MaxLevel()} : kWindowShape;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        curves_[c].resize(shape.entries);
        ComputeChannelCurve(channels[c], curves_[c], shape.maxLevel);
    }
}

void RowCurves::Map(std::span<std::uint8_t> rows) const {
    if (layout_.depth == kWordDepth) {
        MapSamples<std::uint16_t>(rows, layout_.channels, curves_);
    } else {
        MapSamples<std::uint8_t>(rows, layout_.channels, curves_);
    }
}
