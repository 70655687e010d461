// A chart's patch grid found in a scan with no hand on its corners. The
// chart may lie anywhere, as small as a fifth of the scan's shorter side,
// square to the scan or turned by quarter turns, each within a few
// degrees, and seen in mild perspective. The method:
//   1. a copy of the scan reduced so that the smallest such chart keeps
//      patches of about kLeastReducedPitch pixels, and its flat regions
//      shaped like squares (measure/FlatRegions.h): the patches' insides;
//   2. the lattice those regions make, its pitch and turn voted by the
//      regions themselves (measure/PatchLattice.h);
//   3. a projective map from each region's column and row to its centre,
//      fitted by least squares over all of them (measure/ProjectiveFit.h),
//      regions far off the map dropped and the map fitted again;
//   4. every place and quarter turn of the chart's grid that holds the
//      whole lattice, sampled from the full scan and scored by how its
//      colours agree with the chart (measure/ColourAgreement.h): the grey
//      scale getting darker and the reference's colours. The best is the
//      chart, and its grid's corners follow from the map.
#pragma once

#include "measure/ChartMap.h"
#include "measure/ChartReference.h"
#include "measure/ChartScan.h"

#include <variant>

// No lattice of patches at all (`columns` and `rows` 0), or one whose size
// no place or turn of the chart's grid can hold (`columns` x `rows`, the
// lattice's own extent, e.g. a ColorChecker's 6 x 4 when an IT8 was
// looked for).
struct ChartNotFound {
    int columns = 0;
    int rows = 0;
};

using FindOutcome = std::variant<ChartCorners, ChartNotFound>;

// The corners as calibration takes them (top-left of the first patch,
// clockwise on the chart). Without a reference the grey scale alone
// settles the turn.
FindOutcome FindChart(const ChartScan& scan, ChartKind kind, const ChartReference* reference);
