// A line of a scan holds width ÷ 25.4 × dpi pixels; backends round that
// count either way, so the estimate may differ from the page by one pixel.
#include "scan/ScanSize.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kBitsPerByte = 8;

std::int64_t PixelsOf(double mm, int dpi) {
    return std::max<std::int64_t>(0, std::llround(mm / kMmPerInch * dpi));
}

} // namespace

PixelSize PixelsAt(const BedArea& area, int dpi) {
    return {PixelsOf(area.Width(), dpi), PixelsOf(area.Height(), dpi)};
}

std::uint64_t EstimatedFileBytes(const PixelSize& pixels, int channels, int depth) {
    const std::uint64_t bytesPerSample = depth > kBitsPerByte ? 2 : 1;
    return static_cast<std::uint64_t>(pixels.width) * static_cast<std::uint64_t>(pixels.height) *
           static_cast<std::uint64_t>(channels) * bytesPerSample;
}
