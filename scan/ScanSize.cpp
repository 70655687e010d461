// A line of a scan holds width ÷ 25.4 × dpi pixels, which a device rounds
// its own way (see RoundingProbe); a whole count computed from millimetres
// that are themselves rounded words may miss it by a hair, hence the slack.
#include "scan/ScanSize.h"

#include "scan/BedGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kBitsPerByte = 8;
// Far below a pixel, far above the error of a millimetre read from a word.
constexpr double kPixelSlack = 1e-6;

std::int64_t WholePixels(double mm, int dpi, PixelRounding rounding) {
    const double exact = mm / kMmPerInch * dpi;
    double whole = 0;
    switch (rounding) {
    case PixelRounding::Down:
        whole = std::floor(exact + kPixelSlack);
        break;
    case PixelRounding::Nearest:
        whole = std::round(exact);
        break;
    case PixelRounding::Up:
        whole = std::ceil(exact - kPixelSlack);
        break;
    }
    return std::max<std::int64_t>(0, static_cast<std::int64_t>(whole));
}

} // namespace

PixelSize PixelsAt(const ScanArea& area, int dpi, PixelRoundings rounding) {
    return {WholePixels(area.Width(), dpi, rounding.across),
            WholePixels(area.Height(), dpi, rounding.down)};
}

std::uint64_t EstimatedFileBytes(const PixelSize& pixels, int channels, int depth) {
    const std::uint64_t bytesPerSample = depth > kBitsPerByte ? 2 : 1;
    return static_cast<std::uint64_t>(pixels.width) * static_cast<std::uint64_t>(pixels.height) *
           static_cast<std::uint64_t>(channels) * bytesPerSample;
}
