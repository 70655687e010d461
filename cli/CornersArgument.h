// The value of `calibrate --corners`: the four corners of a chart's patch
// grid in the scan's pixels.
#pragma once

#include "measure/ChartMap.h"

#include <optional>
#include <string_view>

// "X1,Y1,X2,Y2,X3,Y3,X4,Y4": eight plain decimals (an optional minus, digits
// with at most one point; no exponent or blanks), the corners top-left,
// top-right, bottom-right, bottom-left of the chart. Nothing for any other
// text. Whether they lie in the scan is judged once the scan is read.
std::optional<ChartCorners> ParseCornersArgument(std::string_view text);
