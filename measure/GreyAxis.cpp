// The line is the leading eigenvector of M = sum w_i |d_i| u_i u_i^T (u_i the
// unit direction of d_i), found by power iteration: M is symmetric, positive
// semi-definite and, with the neutrals lined up, nearly of rank one. Each
// pass weighs w_i = (1 - (s_i / k)^2)^2 for the sine s_i of d_i's angle to
// the line below the cut-off k, else 0.
#include "measure/GreyAxis.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The cut-offs, as sines of the angle to the line: from wide (the first
// line is pulled by everything) to narrow (about 1 degree: a neutral's
// grain and a slight cast stay within it).
constexpr double kCutoffs[] = {0.3, 0.2, 0.12, 0.07, 0.04, 0.025, 0.018};
constexpr int kPassesPerCutoff = 2;
constexpr int kPowerSteps = 60;
// At least this much weight must stay on the line for a pass to count.
constexpr double kLeastWeight = 1.0;

double Norm(const Vector3& v) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

double Dot(const Vector3& a, const Vector3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Vector3 LeadingVector(const Matrix3& m, Vector3 v) {
    for (int step = 0; step < kPowerSteps; ++step) {
        const Vector3 next = Times(m, v);
        const double norm = Norm(next);
        if (!(norm > 0.0)) {
            break;
        }
        v = {next[0] / norm, next[1] / norm, next[2] / norm};
    }
    return v;
}

// A density as the fit takes it: its length and unit direction, found once.
struct Pull {
    double length = 0.0;
    Vector3 unit{};
};

// sum w_i |d_i| u_i u_i^T about `axis` with cut-off `cutoff` (none: every
// weight 1); false when too little weight is left.
bool WeighedScatter(std::span<const Pull> pulls, const Vector3& axis, std::optional<double> cutoff,
                    Matrix3& scatter) {
    scatter = {};
    double total = 0.0;
    for (const Pull& p : pulls) {
        double w = p.length;
        if (cutoff) {
            const double along = Dot(p.unit, axis);
            const double r2 = std::max(0.0, 1.0 - along * along) / (*cutoff * *cutoff);
            w *= r2 < 1.0 ? (1.0 - r2) * (1.0 - r2) : 0.0;
        }
        for (std::size_t i = 0; i < 3 && w > 0.0; ++i) {
            for (std::size_t j = 0; j < 3; ++j) {
                scatter[i * 3 + j] += w * p.unit[i] * p.unit[j];
            }
        }
        total += w;
    }
    return total >= kLeastWeight;
}

std::vector<Pull> UsablePulls(std::span<const Vector3> densities) {
    std::vector<Pull> pulls;
    for (const Vector3& d : densities) {
        const auto [least, most] = std::minmax({d[0], d[1], d[2]});
        const double length = Norm(d);
        if (length >= kLeastAxisDensity && least >= 0.0 && most <= kMostAxisDensity) {
            pulls.push_back({length, {d[0] / length, d[1] / length, d[2] / length}});
        }
    }
    return pulls;
}

} // namespace

std::optional<Vector3> FitGreyAxis(std::span<const Vector3> densities) {
    const std::vector<Pull> points = UsablePulls(densities);
    const double third = 1.0 / std::sqrt(3.0);
    Vector3 axis{third, third, third};
    Matrix3 scatter{};
    if (!WeighedScatter(points, axis, std::nullopt, scatter)) {
        return std::nullopt;
    }
    axis = LeadingVector(scatter, axis);
    for (const double cutoff : kCutoffs) {
        for (int pass = 0; pass < kPassesPerCutoff; ++pass) {
            if (!WeighedScatter(points, axis, cutoff, scatter)) {
                break;
            }
            axis = LeadingVector(scatter, axis);
        }
    }
    if (axis[0] < 0.0) {
        axis = {-axis[0], -axis[1], -axis[2]};
    }
    if (!(axis[0] > 0.0 && axis[1] > 0.0 && axis[2] > 0.0)) {
        return std::nullopt;
    }
    return axis;
}
