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

std::string RectArgumentText(const PixelRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.width) +
           "," + std::to_string(r.height);
}
