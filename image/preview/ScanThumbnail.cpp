// 8-bit level = sample × 255 / MaxLevel, which for 16 bits is the high byte
// to within rounding; colour is taken as the device gave it (no tables).
#include "image/preview/ScanThumbnail.h"

namespace {

constexpr std::uint32_t kOpaqueArgb = 0xFF000000u;
constexpr int kRedShift = 16;
constexpr int kGreenShift = 8;
constexpr int kWordToByteShift = 8;

std::uint32_t Level(const SampleImage& page, std::int32_t x, std::int32_t y, int channel) {
    const int sample = page.Sample(x, y, channel);
    return static_cast<std::uint32_t>(page.layout.depth == kWordDepth ? sample >> kWordToByteShift
                                                                      : sample);
}

} // namespace

Thumbnail ThumbnailOf(const SampleImage& page) {
    Thumbnail thumb;
    const SampleLayout& layout = page.layout;
    if (layout.width <= 0 || layout.height <= 0 ||
        page.bytes.size() < layout.RowBytes() * static_cast<std::size_t>(layout.height)) {
        return thumb;
    }
    thumb.width = layout.width;
    thumb.height = layout.height;
    thumb.pixels.reserve(static_cast<std::size_t>(layout.width) *
                         static_cast<std::size_t>(layout.height));
    const bool colour = layout.channels >= kRgbChannels;
    for (std::int32_t y = 0; y < layout.height; ++y) {
        for (std::int32_t x = 0; x < layout.width; ++x) {
            const std::uint32_t r = Level(page, x, y, 0);
            const std::uint32_t g = colour ? Level(page, x, y, 1) : r;
            const std::uint32_t b = colour ? Level(page, x, y, 2) : r;
            thumb.pixels.push_back(kOpaqueArgb | r << kRedShift | g << kGreenShift | b);
        }
    }
    return thumb;
}
