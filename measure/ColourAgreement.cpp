// The affine map Lab = [L(r) L(g) L(b) 1] M is fitted by least squares
// (Eigen's QR) over the patches the reference holds; R squared is one less
// the residual sum of squares over the sum of squares about the mean.
#include "measure/ColourAgreement.h"

#include "measure/Lightness.h"

#include <Eigen/Dense>

namespace {

constexpr int kTerms = 4;                // three channels and a constant
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
    Eigen::MatrixXd x(Eigen::Index(known.size()), kTerms);
    Eigen::MatrixXd lab(x.rows(), 3);
    for (Eigen::Index r = 0; r < x.rows(); ++r) {
        const std::size_t i = known[std::size_t(r)];
        const PatchSample& s = samples[i];
        x.row(r) << LightnessOf(s.value[0]), LightnessOf(s.value[1]), LightnessOf(s.value[2]), 1.0;
        const LabColour& ref = reference.Find(layout.patches[i].id)->lab;
        lab.row(r) << ref.L, ref.a, ref.b;
    }
    const Eigen::MatrixXd fitted = x * x.colPivHouseholderQr().solve(lab);
    const double total = (lab.rowwise() - lab.colwise().mean()).squaredNorm();
    if (total <= 0) {
        return 0.0;
    }
    return std::max(0.0, 1.0 - (lab - fitted).squaredNorm() / total);
}

} // namespace

double Agreement(const ChartSamples& samples, const ChartLayout& layout,
                 const ChartReference* reference) {
    const double order = GreyOrder(samples, layout);
    return reference ? order + Explained(samples, layout, *reference) : order;
}
