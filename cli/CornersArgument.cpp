#include "cli/CornersArgument.h"

#include "cli/NumberList.h"

std::optional<ChartCorners> ParseCornersArgument(std::string_view text) {
    constexpr std::size_t kFields = 8; // x and y of four corners
    const auto v = ParseNumberList<double, kFields>(
        text, [](std::string_view field) { return PlainDecimal(field, Sign::MinusAllowed); });
    if (!v) {
        return std::nullopt;
    }
    return ChartCorners{
        {{(*v)[0], (*v)[1]}, {(*v)[2], (*v)[3]}, {(*v)[4], (*v)[5]}, {(*v)[6], (*v)[7]}}};
}
