#include "cli/CornersArgument.h"

#include <array>
#include <charconv>

std::optional<ChartCorners> ParseCornersArgument(std::string_view text) {
    constexpr std::size_t kFields = 8;
    std::array<double, kFields> values{};
    std::size_t start = 0;
    for (std::size_t field = 0; field < kFields; ++field) {
        const std::size_t comma = field + 1 < kFields ? text.find(',', start) : text.size();
        if (comma == std::string_view::npos || start > text.size()) {
            return std::nullopt;
        }
        std::string_view number = text.substr(start, comma - start);
        const std::string_view digits = number.starts_with('-') ? number.substr(1) : number;
        if (digits.empty() || digits.find_first_not_of("0123456789.") != std::string_view::npos) {
            return std::nullopt;
        }
        const auto [stop, error] =
            std::from_chars(number.data(), number.data() + number.size(), values[field]);
        if (error != std::errc() || stop != number.data() + number.size()) {
            return std::nullopt;
        }
        start = comma + 1;
    }
    return ChartCorners{{{values[0], values[1]},
                         {values[2], values[3]},
                         {values[4], values[5]},
                         {values[6], values[7]}}};
}
