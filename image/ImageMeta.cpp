// Resolution units and the writer's own name and time stamp.
#include "image/ImageMeta.h"

#include <algorithm>
#include <cmath>
#include <limits>

#ifndef TAMREL_VERSION
#error "TAMREL_VERSION comes from the project's version in CMake"
#endif

namespace {

constexpr double kMetresPerInch = 0.0254;
constexpr std::size_t kDateTimeBytes = 20; // 19 characters and the terminating zero

} // namespace

std::uint32_t PixelsPerMetre(double dotsPerInch) {
    const double perMetre = std::round(dotsPerInch / kMetresPerInch);
    if (!(perMetre > 0)) {
        return 0;
    }
    constexpr auto kMax = static_cast<double>(std::numeric_limits<std::int32_t>::max());
    return static_cast<std::uint32_t>(std::min(perMetre, kMax)); // BMP reads it signed
}

// Metres lose the inch: 150 dpi is stored as 5906 per metre, 150.01 dpi.
// The whole number of dots per inch that is stored the same way is taken
// for it, so that a file's resolution comes back as it was given.
double DotsPerInchOf(std::uint32_t pixelsPerMetre) {
    const double exact = pixelsPerMetre * kMetresPerInch;
    const double whole = std::round(exact);
    return PixelsPerMetre(whole) == pixelsPerMetre ? whole : exact;
}

std::optional<Resolution> ResolutionOfPixelsPerMetre(std::uint32_t x, std::uint32_t y) {
    if (x == 0 || y == 0) {
        return std::nullopt;
    }
    return Resolution{DotsPerInchOf(x), DotsPerInchOf(y)};
}

std::string SoftwareName() {
    return std::string("Tamrel ") + TAMREL_VERSION;
}

std::string TiffDateTime(const WriteTime& time) {
    const std::tm fields = CalendarOf(time);
    char text[kDateTimeBytes] = {};
    std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &fields);
    return text;
}
