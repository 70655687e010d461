// A power law with flare is a straight line on log(device - f) against
// log(linear), so the curve follows such a scanner exactly between and
// beyond the patches, while the cubic lets any other shape through them.
// Fritsch-Carlson: secants d_k, tangents the mean of the neighbouring
// secants (the end secants at the ends), cut back where a = m_k / d_k and
// b = m_k+1 / d_k leave the circle a^2 + b^2 <= 9, which keeps it rising.
#include "measure/ShaperCurve.h"

#include "measure/LeastSquares.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMonotoneRadius = 3.0;
// The flare stays this share below the darkest patch, so that its log exists.
constexpr double kFlareBelowDarkest = 0.9;
constexpr std::size_t kFlareIterations = 100;
constexpr std::size_t kFlareParameters = 3;

// f of device = f + g * linear^e, or 0 when the points are too few.
double FlareOf(std::span<const ShaperPoint> points) {
    double darkest = HUGE_VAL;
    double lightest = 0;
    double brightest = 0;
    for (const ShaperPoint& p : points) {
        darkest = std::min(darkest, p.device);
        lightest = std::max(lightest, p.device);
        brightest = std::max(brightest, p.linear);
    }
    if (points.size() < kFlareParameters || brightest <= 0) {
        return 0.0;
    }
    LeastSquaresProblem problem;
    problem.residualCount = points.size();
    problem.start = {0.0, lightest / brightest, 1.0};
    problem.maxIterations = kFlareIterations;
    problem.residuals = [points](std::span<const double> x, std::span<double> r) {
        for (std::size_t i = 0; i < points.size(); ++i) {
            r[i] = x[0] + x[1] * std::pow(points[i].linear, x[2]) - points[i].device;
        }
    };
    return std::clamp(SolveLeastSquares(problem)[0], -darkest, kFlareBelowDarkest * darkest);
}

struct Knot {
    double x;
    double y;
    double slope = 0;
};

// The points on the log scales, rising in both, with their tangents.
std::vector<Knot> KnotsOf(std::span<const ShaperPoint> points, double flare) {
    std::vector<Knot> all;
    for (const ShaperPoint& p : points) {
        if (p.device > flare && p.linear > 0) {
            all.push_back({std::log(p.device - flare), std::log(p.linear)});
        }
    }
    std::sort(all.begin(), all.end(), [](const Knot& a, const Knot& b) { return a.x < b.x; });
    std::vector<Knot> knots;
    for (const Knot& k : all) {
        if (knots.empty() || (k.x > knots.back().x && k.y > knots.back().y)) {
            knots.push_back(k);
        }
    }
    return knots;
}

void SetSlopes(std::vector<Knot>& k) {
    const std::size_t n = k.size();
    std::vector<double> secant(n - 1);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        secant[i] = (k[i + 1].y - k[i].y) / (k[i + 1].x - k[i].x);
    }
    k.front().slope = secant.front();
    k.back().slope = secant.back();
    for (std::size_t i = 1; i + 1 < n; ++i) {
        k[i].slope = (secant[i - 1] + secant[i]) / 2;
    }
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const double a = k[i].slope / secant[i];
        const double b = k[i + 1].slope / secant[i];
        const double radius = std::hypot(a, b);
        if (radius > kMonotoneRadius) {
            k[i].slope = kMonotoneRadius / radius * a * secant[i];
            k[i + 1].slope = kMonotoneRadius / radius * b * secant[i];
        }
    }
}

// The cubic at x, or the end pieces' power laws beyond the knots.
double LogValue(const std::vector<Knot>& k, double x) {
    if (x <= k.front().x) {
        return k.front().y + k.front().slope * (x - k.front().x);
    }
    if (x >= k.back().x) {
        return k.back().y + k.back().slope * (x - k.back().x);
    }
    const auto right = std::upper_bound(k.begin(), k.end(), x,
                                        [](double v, const Knot& knot) { return v < knot.x; });
    const Knot& a = *(right - 1);
    const Knot& b = *right;
    const double h = b.x - a.x;
    const double t = (x - a.x) / h;
    const double t2 = t * t;
    const double t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * a.y + (t3 - 2 * t2 + t) * h * a.slope + (3 * t2 - 2 * t3) * b.y +
           (t3 - t2) * h * b.slope;
}

} // namespace

std::vector<double> ShaperThrough(std::span<const ShaperPoint> points, std::size_t size) {
    std::vector<double> table(size);
    const double last = static_cast<double>(size - 1);
    const double flare = FlareOf(points);
    std::vector<Knot> knots = KnotsOf(points, flare);
    if (knots.size() < 2) {
        for (std::size_t i = 0; i < size; ++i) {
            table[i] = static_cast<double>(i) / last;
        }
        return table;
    }
    SetSlopes(knots);
    for (std::size_t i = 0; i < size; ++i) {
        const double device = static_cast<double>(i) / last;
        table[i] = device > flare ? std::exp(LogValue(knots, std::log(device - flare))) : 0.0;
    }
    const double top = table.back();
    for (double& v : table) {
        v /= top;
    }
    return table;
}
