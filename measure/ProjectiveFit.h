// The projective map (a plane seen in perspective) that takes one set of
// points nearest to another, by linear least squares: x' = (a u + b v + c) / w,
// y' = (d u + e v + f) / w, w = g u + h v + 1, each pair giving the two
// equations a u + b v + c - g u x' - h v x' = x' (and likewise for y'), both
// sets first centred and scaled to a unit spread so that the equations are
// of one size (Hartley's normalisation).
#pragma once

#include "measure/ChartMap.h"
#include "measure/Matrix3.h"

#include <optional>
#include <span>

struct PointPair {
    ImagePoint from;
    ImagePoint to;
};

// Nothing for fewer than four pairs, or pairs that fix no map (all in a line).
std::optional<Matrix3> FitProjective(std::span<const PointPair> pairs);

// The point the map takes p to.
ImagePoint Project(const Matrix3& map, ImagePoint p);
