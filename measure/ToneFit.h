// One channel's four slider positions from a chart's grey scale: those that
// take each grey patch's scanned level to the start-up curve's output at the
// level a perfect linear scanner would give that patch (255 times its
// reference luminance Y), the squared error over all grey patches, in output
// levels, made least. Positions stay within the sliders' ranges and steps.
#pragma once

#include "curve/ChannelParams.h"

#include <span>

struct GreyPoint {
    double level;  // the patch as scanned, an input level 0..255 (unrounded)
    double target; // the output level 0..255 it should get
};

// The output level the start-up curve gives a patch of luminance Y (0..1).
double StartupTarget(double luminance);

// Output level 0..255 of a continuous input level through the curve of
// these slider positions, unrounded.
double CurveOutput(const ParamPositions& positions, double level);

// How far the points' outputs lie from their targets, in output levels.
struct GreyError {
    double mean = 0;    // of the absolute differences
    double largest = 0; // absolute
};
GreyError ErrorOf(const ParamPositions& positions, std::span<const GreyPoint> points);

struct ToneFit {
    ParamPositions positions;
    GreyError before; // at the start-up positions
    GreyError after;
};

// A continuous fit of the four values, then a search of the neighbouring
// slider steps from the nearest positions. At least four points.
ToneFit FitChannel(std::span<const GreyPoint> points);
