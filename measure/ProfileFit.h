// A scanner's input profile fitted to a chart: per channel a rising, smooth
// tone curve (the device's linear value from the scanned value, both 0..1,
// sampled at kShaperPoints), then a 3 x 3 matrix to XYZ (D50, the perfect
// white at Y = 1), curves and matrix fitted to make the CIEDE2000
// differences from the reference least (their sum of squares).
#pragma once

#include "measure/Colour.h"
#include "measure/Matrix3.h"

#include <array>
#include <cstddef>
#include <span>
#include <vector>

inline constexpr std::size_t kShaperPoints = 4096;

struct ProfilePatch {
    Vector3 device; // the patch as scanned, red, green, blue 0..1
    LabColour reference;
    bool grey = false; // part of the chart's grey scale
};

struct ShaperMatrix {
    // Entry i is the linear value of the scanned value i / (kShaperPoints - 1).
    std::array<std::vector<double>, 3> curves;
    Matrix3 toXyz{};
};

// The tone curves start through the grey patches (at least three with
// distinct scanned values per channel) with the matrix fitted to all
// patches; then curves and matrix are fitted together to every patch
// (JointFit.h). The joint fit is kept where it does not raise the mean
// CIEDE2000 over the patches (its own sum weighs the greys more).
ShaperMatrix FitShaperMatrix(std::span<const ProfilePatch> patches);

// The start alone: curves through the grey patches and the matrix fitted
// to every patch, as profiles were fitted before the joint fit.
ShaperMatrix FitThroughGreys(std::span<const ProfilePatch> patches);

// A scanned colour through the curves (interpolated) and the matrix.
XyzColour XyzThrough(const ShaperMatrix& model, const Vector3& device);
