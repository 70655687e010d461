// The histograms behind the curves: which one the plot shows, and how it is
// drawn (one column per level, log-scaled heights, light channel colours).
#pragma once

#include "image/kernels/Histogram.h"

#include <optional>

class QPainter;

struct HistogramView {
    bool shown = false;  // off at start: the plot is the bare curves
    bool output = false; // the levels after the tables instead of the image's
    // The loaded image's counts once taken: they are counted when first
    // needed (shown, or Black/White set from them), not while the image is read.
    std::optional<LevelHistogram> input;
};

extern HistogramView theHistogramView;

// The counts to draw now; nullopt while hidden or without an image. The
// image's levels are those of its positive through `film` (the film stage
// alone) where given; the output's, through the whole `tables`.
std::optional<LevelHistogram> HistogramToDraw(const HistogramView& view,
                                              const GammaTableSet& tables,
                                              const GammaTableSet* film = nullptr);

// The column height of a count, in plot pixels 0..256: log(1 + count) over
// log(1 + the largest count of all three channels), so that sparse shadows
// stay visible beside a crowded midtone.
int ColumnHeight(std::uint64_t count, std::uint64_t largest);

// Columns of level L at x = L + 8, from the plot's bottom up, the channels'
// colours multiplied where they overlap so that overlaps stay readable; over
// the plot's inside (white elsewhere), in device pixels at `scale` per
// logical pixel, the painter already in device pixels.
void DrawHistogram(QPainter& dc, const LevelHistogram& histogram, double scale);
