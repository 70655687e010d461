#include "cli/RectArgument.h"

#include "cli/NumberList.h"

std::optional<PixelRect> ParseRectArgument(std::string_view text) {
    constexpr std::size_t kFields = 4; // left, top, width, height
    const auto v = ParseNumberList<std::int32_t, kFields>(text, WholeNumber);
    if (!v || (*v)[2] <= 0 || (*v)[3] <= 0) {
        return std::nullopt;
    }
    return PixelRect{(*v)[0], (*v)[1], (*v)[2], (*v)[3]};
}
