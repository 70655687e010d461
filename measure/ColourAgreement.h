// How well a chart's samples agree with the chart they are taken for, to
// choose among the places and quarter turns a grid found in a scan allows
// (a grid alone cannot tell a chart from itself turned half round). Two
// shares, each 0..1, added: the steps of the grey scale that get darker in
// the scan (a layout's greys run from white to black), and, with a
// reference, the share of the variance of its Lab values that the best
// affine map from the samples' channels on the lightness scale explains
// (R squared). Patches left unmeasured (off the scan) take no part. A
// chart sampled where it lies, as it is turned, scores near 2; shifted by
// a patch or turned, far less.
#pragma once

#include "measure/ChartReference.h"
#include "measure/PatchSampling.h"

double Agreement(const ChartSamples& samples, const ChartLayout& layout,
                 const ChartReference* reference);
