// Each patch of a chart read off a scan: the pixels whose centres fall in
// the central half of the patch, reduced per channel to a mean of their
// middle half (the lowest and highest quarters left out), so that dust,
// scratches and a corner a little off do not move it.
#pragma once

#include "measure/ChartLayout.h"
#include "measure/ChartMap.h"
#include "measure/ChartScan.h"

#include <array>
#include <string>
#include <variant>
#include <vector>

struct PatchSample {
    std::array<double, 3> value{}; // red, green, blue, 0..1 of full scale
    // The lowest and highest values of each channel's middle half: how far
    // apart they lie tells a uniform patch from a box across two patches.
    std::array<double, 3> middleLow{};
    std::array<double, 3> middleHigh{};
    // A channel whose median pixel is at the top level.
    std::array<bool, 3> clipped{};
    int pixels = 0;
    ChartCorners outline{}; // the sampled box in the scan
};

// Why a chart could not be sampled: the corners bound no usable
// quadrilateral, a sampled box reaches outside the scan (naming the patch),
// or one holds no pixel (the chart is too small in the scan).
enum class SamplingFault { Degenerate, OutsideScan, NoPixels };

struct SamplingProblem {
    SamplingFault fault;
    std::string patch; // for OutsideScan and NoPixels
};

using ChartSamples = std::vector<PatchSample>; // in the layout's patch order

// The boxes of every patch, where the corners put them; null for corners
// that bound no usable quadrilateral.
std::optional<std::vector<ChartCorners>> PatchOutlines(const ChartLayout& layout,
                                                       const ChartCorners& corners);

// A pixel of the scan: red, green, blue, 0..65535.
using ScanPixel = std::array<std::uint16_t, 3>;

// The pixels whose centres fall in a sampled box, `outline` its corners in
// the scan; row by row.
std::vector<ScanPixel> PixelsIn(const ChartScan& scan, const ChartMap& map, const ChartBox& box,
                                const ChartCorners& outline);

// The pixels of patch `patch` of the layout where the corners put it; none
// for corners that bound no usable quadrilateral.
std::vector<ScanPixel> PatchPixels(const ChartScan& scan, const ChartLayout& layout,
                                   const ChartCorners& corners, std::size_t patch);

std::variant<ChartSamples, SamplingProblem>
SampleChart(const ChartScan& scan, const ChartLayout& layout, const ChartCorners& corners);

// As SampleChart, but a box that reaches outside the scan or holds no
// pixel is left unmeasured (`pixels` 0) rather than stopping the rest: for
// judging where a chart lies that the scan may not hold whole. Null for
// corners that bound no usable quadrilateral.
std::optional<ChartSamples> SampleWithin(const ChartScan& scan, const ChartLayout& layout,
                                         const ChartCorners& corners);

// Where the window puts the corners first: the whole chart (its grey scale
// too) stretched over the image less `share` of its width and height on
// each side.
ChartCorners InitialCorners(const ChartLayout& layout, int width, int height, double share);
