// The flat parts of a scan, the first step of finding a chart: a copy of
// the scan reduced by a whole factor (each pixel the mean of a factor x
// factor block), and every pixel that steps by less than a threshold to
// each of its four neighbours in every channel called flat. Steps are
// judged on the lightness scale (measure/Lightness.h), where a step of one
// unit looks alike in the dark and in the light, but with its dark end no
// steeper than the scan's noise allows: there a step counts as flat while
// it is within kNoiseSteps times the median step between neighbours across
// (the noise, since most of a scan is flat). Flat pixels joined through
// their sides make regions; those shaped like a filled square are the
// candidates for a chart's patches (a patch's inside is flat, its edges
// are not).
#pragma once

#include "measure/ChartScan.h"

#include <vector>

struct ReducedScan {
    int width = 0;
    int height = 0;
    int factor = 1;                     // scan pixels per reduced pixel, across and down
    std::vector<std::uint16_t> own;     // the blocks' means, three per pixel, rows top to bottom
    const std::uint16_t* rgb = nullptr; // `own`, or the scan's own pixels for a factor of 1

    const std::uint16_t* Pixel(int x, int y) const {
        return rgb + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
    }
};

// The blocks that do not fit whole at the right and bottom edges are left
// out. With a factor of 1 the copy is the scan itself, which must outlive it.
ReducedScan ReduceScan(const ChartScan& scan, int factor);

// A square-shaped flat region: its centroid and the side of a square of its
// area, both in the scan's own pixels (pixel (i, j) covering [i, i + 1) x
// [j, j + 1)).
struct SquareRegion {
    double x = 0;
    double y = 0;
    double side = 0;
};

// A region is square-shaped when its two principal spreads differ by less
// than a factor of two and its area is that of a filled rectangle of those
// spreads within a fifth.
std::vector<SquareRegion> SquareRegions(const ReducedScan& reduced);
