// The rectangles of `roll --base STRIP:L,T,W,H` and `--neutral STRIP:...`:
// which strip of the roll (as named on the command line, or by its file
// name alone where that is unique) and four whole numbers of its pixels.
#pragma once

#include "image/rows/PixelRect.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct StripPick {
    std::string strip; // as given, before the last ':'
    PixelRect rect;
    friend bool operator==(const StripPick&, const StripPick&) = default;
};

// "STRIP:LEFT,TOP,WIDTH,HEIGHT"; the strip's name may itself hold ':'.
std::optional<StripPick> ParseStripPick(std::string_view text);

// The index of the strip a pick names among `strips`: the same text, else
// the one strip with that file name; nullopt when none or several match.
std::optional<std::size_t> StripOfPick(const StripPick& pick,
                                       const std::vector<std::filesystem::path>& strips);
