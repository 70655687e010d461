// The value of `scan --area`: the scan area as four numbers of millimetres.
#pragma once

#include "scan/ScanArea.h"

#include <optional>
#include <string_view>

// "LEFT,TOP,WIDTH,HEIGHT": four plain decimals of millimetres (digits with
// at most one point; no sign, exponent or blanks), the width and height
// above 0. Nothing for any other text, a number (or an edge, the corner plus
// the size) too large for a double, or a size too small to change its corner.
// The device judges whether the area lies on its bed.
std::optional<ScanArea> ParseAreaArgument(std::string_view text);
