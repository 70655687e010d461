// The three shaper curves and the matrix of an input profile fitted together
// over every patch of a chart: the sum over the patches of (w_i *
// CIEDE2000_i)^2, plus a smoothness term per curve, made least by
// Levenberg-Marquardt from curves through the grey scale (the start).
//
// Each curve is the start's bent: on its log scales, x = log(device -
// flare) and y = log(linear), the slope becomes y_start'(x) * e^delta(x),
// delta running straight between a few control points (some of the grey
// patches, and the darkest and lightest patches where they lie beyond the
// grey scale) and level beyond the end ones. A slope times a positive
// factor still rises, so every curve rises whatever the parameters, and
// delta = 0 is the start exactly. The curve keeps its value at the lightest
// grey; the matrix's column takes its scale. Grey patches weigh more (w =
// kGreyWeight), so they stay neutral and on their reference while the
// curves bend for the colours beyond the grey scale; the tables' positions
// come from the greys apart from this fit.
#pragma once

#include "measure/Matrix3.h"
#include "measure/ProfileFit.h"
#include "measure/ShaperCurve.h"

#include <array>
#include <span>

struct CurveModel {
    std::array<LogCurve, 3> curves; // red, green, blue
    Matrix3 toXyz{};
};

// Each channel of a scanned colour (0..1) through its curve.
Vector3 LinearOf(const CurveModel& model, const Vector3& device);
XyzColour XyzOf(const CurveModel& model, const Vector3& device);

// The model as the profile keeps it: each curve sampled and divided by its
// value at 1, the matrix's column multiplied by that value.
ShaperMatrix Sampled(std::span<const ProfilePatch> patches, const CurveModel& model);

// The matrix alone fitted to the CIEDE2000 of every patch, all weighing
// alike, the curves kept.
Matrix3 FitMatrix(std::span<const ProfilePatch> patches, const CurveModel& model);

// The curves bent and the matrix fitted together, from `start`, sampled.
ShaperMatrix FitJointly(std::span<const ProfilePatch> patches, const CurveModel& start);
