// The rectangle after the last ':' is read as film's own --base takes it.
#include "cli/StripPick.h"

#include "cli/RectArgument.h"

std::optional<StripPick> ParseStripPick(std::string_view text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0) {
        return std::nullopt;
    }
    const std::optional<PixelRect> rect = ParseRectArgument(text.substr(colon + 1));
    if (!rect) {
        return std::nullopt;
    }
    return StripPick{std::string(text.substr(0, colon)), *rect};
}

std::optional<std::size_t> StripOfPick(const StripPick& pick,
                                       const std::vector<std::filesystem::path>& strips) {
    for (std::size_t i = 0; i < strips.size(); ++i) {
        if (strips[i].string() == pick.strip) {
            return i;
        }
    }
    std::optional<std::size_t> named;
    for (std::size_t i = 0; i < strips.size(); ++i) {
        if (strips[i].filename().string() == pick.strip) {
            if (named) {
                return std::nullopt;
            }
            named = i;
        }
    }
    return named;
}
