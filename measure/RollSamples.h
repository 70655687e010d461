// What each frame of a strip gives the roll's film, read off the strip's
// map: the frame's densest transmissions (its exposure) and an even spread
// of its cells (for the grey axis); and what a strip gives: its base cells.
#pragma once

#include "measure/FilmFit.h"
#include "measure/FrameFind.h"

#include <vector>

// At most this many cells of a frame are kept for the grey axis: enough
// for its neutrals to line up, few enough for a roll of 36 frames.
inline constexpr std::size_t kMostAxisCells = 10000;

struct FrameSample {
    PixelRect rect;
    ChannelValues highlight{};    // each channel's transmission at its densest kHighlightShare
    double pooledHighlight = 0.0; // the same of the three channels as one
    std::vector<CellSteps> cells; // spread evenly over the frame
};

struct StripSample {
    ChannelCounts base; // as StripFrames keeps it
    std::vector<FrameSample> frames;
};

// The cells wholly inside `frame` (which must fit the map's image); a
// frame smaller than a cell gives the cell it lies in.
FrameSample SampleFrame(const StripMap& map, const PixelRect& frame);

// The strip's base and each of its frames.
StripSample SampleStrip(const StripMap& map, const StripFrames& frames);
