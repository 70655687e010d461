// Each field is judged on its own, so that the message names the one at fault.
#include "cli/AreaArgument.h"

#include "cli/NumberList.h"

#include <array>
#include <cmath>

namespace {

constexpr std::size_t kFields = 4;
constexpr std::array<const char*, kFields> kFieldNames = {"LEFT", "TOP", "WIDTH", "HEIGHT"};
constexpr std::size_t kFirstSize = 2; // WIDTH and HEIGHT must be above 0

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
    const auto numbers = SplitFields<kFields>(text);
    if (!numbers) {
        return {std::nullopt,
                "takes LEFT,TOP,WIDTH,HEIGHT in millimetres, not " + std::string(text)};
    }
    std::array<double, kFields> values{};
    for (std::size_t field = 0; field < kFields; ++field) {
        const std::string_view number = (*numbers)[field];
        const std::optional<double> value = PlainDecimal(number);
        if (!value || (field >= kFirstSize && !(*value > 0))) {
            return {std::nullopt, FieldError(field, number)};
        }
        values[field] = *value;
    }
    const ScanArea area = ScanArea::OfSize(values[0], values[1], values[2], values[3]);
    if (std::string error = EdgeError(area); !error.empty()) {
        return {std::nullopt, error};
    }
    return {area, {}};
}
