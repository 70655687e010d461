// The affine map Lab = [L(r) L(g) L(b) 1] M is fitted by least squares
// (column-pivoting QR) over the patches the reference holds; R squared is one less
// the residual sum of squares over the sum of squares about the mean.
#include "measure/ColourAgreement.h"

#include "measure/Lightness.h"
#include "measure/LinearFit.h"

#include <array>

namespace {

constexpr std::size_t kTerms = 4; // three channels and a constant
constexpr std::size_t kLab = 3;
constexpr std::size_t kLeastPatches = 8; // twice the terms: fewer fix nothing
constexpr double kChannelsPerGrey = 3.0;

// Steps between greys the scan holds count against all the grey scale's
// steps, so that a grey scale off the scan counts for nothing.
double GreyOrder(const ChartSamples& samples, const ChartLayout& layout) {
    const auto lightness = [&](std::size_t g) {
        const PatchSample& s = samples[layout.greys[g]];
        return (s.value[0] + s.value[1] + s.value[2]) / kChannelsPerGrey;
    };
    const auto measured = [&](std::size_t g) { return samples[layout.greys[g]].pixels > 0; };
    std::size_t darker = 0;
    for (std::size_t g = 1; g < layout.greys.size(); ++g) {
        darker += measured(g) && measured(g - 1) && lightness(g) < lightness(g - 1) ? 1 : 0;
    }
    return layout.greys.size() < 2 ? 0.0 : double(darker) / double(layout.greys.size() - 1);
}

// R squared over the three columns of Lab together.
double Explained(const LinearSystem& system, const std::vector<std::vector<double>>& m) {
    double residual = 0, total = 0;
    for (std::size_t c = 0; c < kLab; ++c) {
        const std::vector<double>& side = system.sides[c];
        double mean = 0;
        for (const double v : side) {
            mean += v;
        }
        mean /= double(side.size());
        for (std::size_t r = 0; r < system.rows; ++r) {
            double fitted = 0;
            for (std::size_t k = 0; k < kTerms; ++k) {
                fitted += system.a[r * kTerms + k] * m[c][k];
            }
            residual += (side[r] - fitted) * (side[r] - fitted);
            total += (side[r] - mean) * (side[r] - mean);
        }
    }
    return total <= 0 ? 0.0 : std::max(0.0, 1.0 - residual / total);
}

double Explained(const ChartSamples& samples, const ChartLayout& layout,
                 const ChartReference& reference) {
    std::vector<std::size_t> known;
    for (std::size_t i = 0; i < layout.patches.size(); ++i) {
        if (samples[i].pixels > 0 && reference.Find(layout.patches[i].id)) {
            known.push_back(i);
        }
    }
    if (known.size() < kLeastPatches) {
        return 0.0;
    }
    LinearSystem system{known.size(), kTerms, {}, std::vector<std::vector<double>>(kLab)};
    for (const std::size_t i : known) {
        const PatchSample& s = samples[i];
        system.a.insert(system.a.end(), {LightnessOf(s.value[0]), LightnessOf(s.value[1]),
                                         LightnessOf(s.value[2]), 1.0});
        const LabColour& ref = reference.Find(layout.patches[i].id)->lab;
        const std::array<double, kLab> lab{ref.L, ref.a, ref.b};
        for (std::size_t c = 0; c < kLab; ++c) {
            system.sides[c].push_back(lab[c]);
        }
    }
    const auto fit = SolveLeastSquares(system);
    return fit ? Explained(system, fit->x) : 0.0;
}

} // namespace

double Agreement(const ChartSamples& samples, const ChartLayout& layout,
                 const ChartReference* reference) {
    const double order = GreyOrder(samples, layout);
    return reference ? order + Explained(samples, layout, *reference) : order;
}
