// The figures the imaging guidelines judge, measured on a chart scan as it
// is delivered (DeliveredColour): CIEDE2000 from each patch's reference over
// every patch, mean and largest, also with S_L = 1; and on the grey patches
// the largest |delta L*| (tone), the largest delta E(a*b*), CIEDE2000
// without its lightness term (white balance), and the largest noise of L*.
// A patch's noise is the spread of its pixels' L* as a standard deviation,
// taken as their interquartile range / 1.349 (which it equals for normal
// noise) so that specks of dust do not count as noise.
#pragma once

#include "image/Outcome.h"
#include "measure/ChartReference.h"
#include "measure/DeliveredColour.h"
#include "measure/GuidelineLimits.h"
#include "measure/PatchSampling.h"

#include <array>
#include <span>
#include <vector>

struct ChartFigures {
    std::array<double, 7> values{};   // by ChartFigure
    std::vector<LabColour> delivered; // each patch's colour as delivered, layout order

    double Of(ChartFigure figure) const { return values[std::size_t(figure)]; }
};

// The standard deviation of `lightness` as its interquartile range / 1.349;
// 0 for fewer than two values. Reorders them.
double LightnessNoise(std::vector<double>& lightness);

// From each patch's delivered colour and reference (layout order) and each
// grey patch's noise (the layout's greys order).
ChartFigures FiguresOf(std::vector<LabColour> delivered, std::span<const LabColour> reference,
                       const ChartLayout& layout, std::span<const double> greyNoise);

// The samples' colours and the grey patches' pixels taken through the
// delivery. Every patch is in the reference. DeliveredColour's reason when
// the profile cannot be used.
Outcome<ChartFigures> MeasureFigures(const ChartScan& scan, const ChartLayout& layout,
                                     const ChartCorners& corners, const ChartSamples& samples,
                                     const ChartReference& reference, const Delivery& delivery);
