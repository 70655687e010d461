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
    std::optional<PixelRect> base;   // none: `knownBase`, or the frame's clearest part
    std::vector<PixelRect> neutrals; // at most kMaxNeutralPicks; a black-and-white film takes none
    // What earlier frames of the roll gave, where no rectangle is drawn on
    // this one: the base's transmissions, and the picks' (used without
    // neutral rectangles).
    std::optional<ChannelValues> knownBase;
    std::vector<ChannelValues> knownNeutrals;
};

// The median of each channel; for a black-and-white film, of the three as one.
ChannelValues MediansOf(const ChannelCounts& counts, FilmMode mode);

struct FilmMeasurement {
    Reason read;         // the source's failure
    FilmProblem problem; // a rectangle or pick that cannot be used
    FilmSettings film;   // meaningful when neither is set
};

FilmMeasurement MeasureFilm(const RowSource& source, const FilmRequest& request);
