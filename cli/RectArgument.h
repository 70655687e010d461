// The rectangles of `film --base` and `--neutral`: four whole numbers of
// image pixels.
#pragma once

#include "measure/FilmCounts.h"

#include <optional>
#include <string>
#include <string_view>

// "LEFT,TOP,WIDTH,HEIGHT": decimal digits only, the width and height above
// 0, each below 2^31. The image judges whether the rectangle lies on it.
std::optional<PixelRect> ParseRectArgument(std::string_view text);

// The same four numbers as the argument takes them: "LEFT,TOP,WIDTH,HEIGHT".
std::string RectArgumentText(const PixelRect& rect);
