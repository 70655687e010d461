// The value of `scan --area`: the scan area as four numbers of millimetres.
#pragma once

#include "scan/ScanArea.h"

#include <optional>
#include <string>
#include <string_view>

struct AreaParse {
    std::optional<ScanArea> area;
    std::string error; // what is wrong with the text, naming the field, when no area
};

// "LEFT,TOP,WIDTH,HEIGHT": four plain decimals of millimetres (digits with
// at most one point; no sign, exponent or blanks), the width and height
// above 0. Any other text, a number (or an edge, the corner plus the size)
// too large for a double, or a size too small to change its corner, is an
// error that names the field at fault. The device judges whether the area
// lies on its bed.
AreaParse ParseAreaArgument(std::string_view text);
