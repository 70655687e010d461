// Each field is judged on its own, so that the message names the one at fault.
#include "cli/AreaArgument.h"

#include <array>
#include <charconv>
#include <cmath>

namespace {

constexpr std::size_t kFields = 4;
constexpr std::array<const char*, kFields> kFieldNames = {"LEFT", "TOP", "WIDTH", "HEIGHT"};
constexpr std::size_t kFirstSize = 2; // WIDTH and HEIGHT must be above 0

std::optional<double> PlainDecimal(std::string_view number) {
    if (number.empty() || number.find_first_not_of("0123456789.") != std::string_view::npos) {
        return std::nullopt;
    }
    double value = 0;
    const auto [stop, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || stop != number.data() + number.size()) {
        return std::nullopt;
    }
    return value;
}

std::string FieldError(std::size_t field, std::string_view number) {
    const bool size = field >= kFirstSize;
    return std::string(kFieldNames[field]) + " takes a plain number of millimetres" +
           (size ? " above 0" : ", 0 or more") + ", not " + std::string(number);
}

// An edge beyond any double, or a size lost beside a far larger corner.
std::string EdgeError(const ScanArea& area) {
    if (!std::isfinite(area.right) || !(area.Width() > 0)) {
        return "LEFT + WIDTH is no edge a number of millimetres can hold";
    }
    if (!std::isfinite(area.bottom) || !(area.Height() > 0)) {
        return "TOP + HEIGHT is no edge a number of millimetres can hold";
    }
    return {};
}

} // namespace

AreaParse ParseAreaArgument(std::string_view text) {
    std::array<std::string_view, kFields> numbers{};
    std::size_t start = 0;
    for (std::size_t field = 0; field < kFields; ++field) {
        const std::size_t comma = field + 1 < kFields ? text.find(',', start) : text.size();
        if (comma == std::string_view::npos ||
            (field + 1 == kFields && text.find(',', start) != std::string_view::npos)) {
            return {std::nullopt,
                    "takes LEFT,TOP,WIDTH,HEIGHT in millimetres, not " + std::string(text)};
        }
        numbers[field] = text.substr(start, comma - start);
        start = comma + 1;
    }
    std::array<double, kFields> values{};
    for (std::size_t field = 0; field < kFields; ++field) {
        const std::optional<double> value = PlainDecimal(numbers[field]);
        if (!value || (field >= kFirstSize && !(*value > 0))) {
            return {std::nullopt, FieldError(field, numbers[field])};
        }
        values[field] = *value;
    }
    const ScanArea area = ScanArea::OfSize(values[0], values[1], values[2], values[3]);
    if (std::string error = EdgeError(area); !error.empty()) {
        return {std::nullopt, error};
    }
    return {area, {}};
}
