// The rectangles a film was picked from on the image the window shows: the
// film's base and up to two neutral greys, in image pixels.
#pragma once

#include "measure/FilmCounts.h"

#include <optional>
#include <vector>

struct FilmPicks {
    std::optional<PixelRect> base;
    std::vector<PixelRect> greys; // in the order they were drawn
    friend bool operator==(const FilmPicks&, const FilmPicks&) = default;
};
