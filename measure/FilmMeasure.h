// A film measured on a frame: the base and neutral rectangles the user
// picked checked against the image, the frame counted once, and the
// settings fitted to the counts.
#pragma once

#include "measure/FilmCounts.h"
#include "measure/FilmFit.h"

#include <optional>
#include <vector>

struct FilmRequest {
    FilmMode mode = FilmMode::ColourNegative;
    std::optional<PixelRect> base;   // none: the frame's clearest part
    std::vector<PixelRect> neutrals; // at most kMaxNeutralPicks; a black-and-white film takes none
};

struct FilmMeasurement {
    Reason read;         // the source's failure
    FilmProblem problem; // a rectangle or pick that cannot be used
    FilmSettings film;   // meaningful when neither is set
};

FilmMeasurement MeasureFilm(const RowSource& source, const FilmRequest& request);
