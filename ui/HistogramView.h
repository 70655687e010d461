// The histograms behind the curves: which one the plot shows, and how it is
// drawn (one column per level, log-scaled heights, light channel colours).
#pragma once

#include "image/CountLevels.h"
#include "image/kernels/Histogram.h"
#include "image/preview/PictureTables.h"
#include "image/rows/KeptImage.h"

#include <optional>

class QPainter;

struct HistogramView {
    bool shown = false;  // off at start: the plot is the bare curves
    bool output = false; // the levels after the tables instead of the image's
    // The loaded picture's counts once taken: they are counted when first
    // needed (shown, or Black/White set from them), not while it is read.
    std::optional<PictureCounts> input;
};

extern HistogramView theHistogramView;

// The picture's levels as the curve takes them: its own, or where
// `channels` hold a film, its positive's (through the film stage alone).
// A 16-bit picture's column L holds the samples whose positive, at 16
// bits, rounds to the 8-bit level L.
LevelHistogram PositiveLevels(const PictureCounts& counts, const KeptImage& picture,
                              const ChannelParamsSet& channels);

// The counts to draw now; nullopt while hidden or without an image: the
// positive's levels, or the output's through the whole `tables` of
// `channels`. A 16-bit picture's output column L holds the samples the
// preview shows at L: through the 65536-entry curves, rounded to 8 bits.
std::optional<LevelHistogram> HistogramToDraw(const HistogramView& view, const KeptImage& picture,
                                              const GammaTableSet& tables,
                                              const ChannelParamsSet& channels);

// The column height of a count, in plot pixels 0..256: log(1 + count) over
// log(1 + the largest count of all three channels), so that sparse shadows
// stay visible beside a crowded midtone.
int ColumnHeight(std::uint64_t count, std::uint64_t largest);

// Columns of level L at x = L + 8, from the plot's bottom up, the channels'
// colours multiplied where they overlap so that overlaps stay readable; over
// the plot's inside (white elsewhere), in device pixels at `scale` per
// logical pixel, the painter already in device pixels.
void DrawHistogram(QPainter& dc, const LevelHistogram& histogram, double scale);
