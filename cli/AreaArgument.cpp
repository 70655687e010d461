#include "cli/AreaArgument.h"

#include <array>
#include <charconv>
#include <cmath>

std::optional<ScanArea> ParseAreaArgument(std::string_view text) {
    constexpr std::size_t kFields = 4;
    std::array<double, kFields> values{};
    std::size_t start = 0;
    for (std::size_t field = 0; field < kFields; ++field) {
        const std::size_t comma = field + 1 < kFields ? text.find(',', start) : text.size();
        if (comma == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view number = text.substr(start, comma - start);
        if (number.empty() || number.find_first_not_of("0123456789.") != std::string_view::npos) {
            return std::nullopt;
        }
        const auto [stop, error] =
            std::from_chars(number.data(), number.data() + number.size(), values[field]);
        if (error != std::errc() || stop != number.data() + number.size()) {
            return std::nullopt;
        }
        start = comma + 1;
    }
    if (!(values[2] > 0) || !(values[3] > 0)) {
        return std::nullopt;
    }
    const ScanArea area = ScanArea::OfSize(values[0], values[1], values[2], values[3]);
    // An edge beyond any double, or a size lost beside a far larger corner.
    if (!std::isfinite(area.right) || !std::isfinite(area.bottom) || !(area.Width() > 0) ||
        !(area.Height() > 0)) {
        return std::nullopt;
    }
    return area;
}
