// Quartiles by rank: with n values sorted, q1 = v[n / 4] and q3 =
// v[3n / 4]; sigma = (q3 - q1) / 1.349, 1.349 being the interquartile range
// of the standard normal distribution.
#include "measure/ChartFigures.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kNormalQuartileRange = 1.349;
constexpr std::size_t kQuarter = 4;
constexpr std::size_t kThreeQuarters = 3;
constexpr std::size_t kNoisePixels = 4096;

void Largest(double& into, double value) {
    into = std::max(into, value);
}

// The colour figures over every patch.
void ColourFigures(const std::vector<LabColour>& delivered, std::span<const LabColour> reference,
                   ChartFigures& f) {
    double sum = 0;
    double sumUnitL = 0;
    for (std::size_t i = 0; i < delivered.size(); ++i) {
        const double d = DeltaE2000(reference[i], delivered[i]);
        const double unitL = DeltaE2000(reference[i], delivered[i], LightnessTerm::Unweighted);
        sum += d;
        sumUnitL += unitL;
        Largest(f.values[std::size_t(ChartFigure::LargestDeltaE)], d);
        Largest(f.values[std::size_t(ChartFigure::LargestDeltaEUnitL)], unitL);
    }
    const double n = double(std::max<std::size_t>(delivered.size(), 1));
    f.values[std::size_t(ChartFigure::MeanDeltaE)] = sum / n;
    f.values[std::size_t(ChartFigure::MeanDeltaEUnitL)] = sumUnitL / n;
}

// A grey patch's pixels' L* as delivered, and their noise; of a large
// patch every k-th pixel, kNoisePixels or so, plenty for its quartiles (k
// odd, so that a pattern of alternate pixels is not taken on one side).
double GreyNoise(const ChartScan& scan, const ChartLayout& layout, const ChartCorners& corners,
                 std::size_t patch, const DeliveredColour& colour) {
    const std::vector<ScanPixel> pixels = PatchPixels(scan, layout, corners, patch);
    const std::size_t step = (pixels.size() / kNoisePixels) | 1;
    const double top = kScanTop;
    std::vector<double> lightness;
    for (std::size_t i = 0; i < pixels.size(); i += step) {
        const ScanPixel& p = pixels[i];
        lightness.push_back(colour({p[0] / top, p[1] / top, p[2] / top}).L);
    }
    return LightnessNoise(lightness);
}

} // namespace

double LightnessNoise(std::vector<double>& lightness) {
    const std::size_t n = lightness.size();
    if (n < 2) {
        return 0.0;
    }
    const auto q1 = lightness.begin() + std::ptrdiff_t(n / kQuarter);
    const auto q3 = lightness.begin() + std::ptrdiff_t(kThreeQuarters * n / kQuarter);
    std::nth_element(lightness.begin(), q1, lightness.end());
    std::nth_element(q1, q3, lightness.end());
    return (*q3 - *q1) / kNormalQuartileRange;
}

ChartFigures FiguresOf(std::vector<LabColour> delivered, std::span<const LabColour> reference,
                       const ChartLayout& layout, std::span<const double> greyNoise) {
    ChartFigures f;
    ColourFigures(delivered, reference, f);
    for (std::size_t k = 0; k < layout.greys.size(); ++k) {
        const std::size_t g = layout.greys[k];
        Largest(f.values[std::size_t(ChartFigure::Tone)],
                std::abs(delivered[g].L - reference[g].L));
        Largest(f.values[std::size_t(ChartFigure::WhiteBalance)],
                DeltaE2000(reference[g], delivered[g], LightnessTerm::LeftOut));
        Largest(f.values[std::size_t(ChartFigure::Noise)],
                k < greyNoise.size() ? greyNoise[k] : 0.0);
    }
    f.delivered = std::move(delivered);
    return f;
}

Outcome<ChartFigures> MeasureFigures(const ChartScan& scan, const ChartLayout& layout,
                                     const ChartCorners& corners, const ChartSamples& samples,
                                     const ChartReference& reference, const Delivery& delivery) {
    Outcome<DeliveredColour> colour = DeliveredColour::Make(delivery);
    if (!colour) {
        return colour.Why();
    }
    std::vector<LabColour> delivered;
    std::vector<LabColour> references;
    for (std::size_t i = 0; i < layout.patches.size(); ++i) {
        delivered.push_back((*colour)(samples[i].value));
        references.push_back(reference.Find(layout.patches[i].id)->lab);
    }
    std::vector<double> noise;
    for (const std::size_t g : layout.greys) {
        noise.push_back(GreyNoise(scan, layout, corners, g, *colour));
    }
    return FiguresOf(std::move(delivered), references, layout, noise);
}
