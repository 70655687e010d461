// Fritsch-Carlson: secants d_k, tangents the mean of the neighbouring
// secants (the end secants at the ends), cut back where a = m_k / d_k and
// b = m_k+1 / d_k leave the circle a^2 + b^2 <= 9, which keeps it rising.
// Between knots the cubic Hermite piece of the two values and tangents.
#include "measure/ShaperCurve.h"

#include "measure/LeastSquares.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMonotoneRadius = 3.0;
// The flare stays this share below the darkest point, so that its log exists.
constexpr double kFlareBelowDarkest = 0.9;
constexpr std::size_t kFlareIterations = 100;
constexpr std::size_t kFlareParameters = 3;
// The straight line linear = device, as two knots of slope 1.
constexpr LogKnot kIdentity[] = {{-1.0, -1.0}, {0.0, 0.0}};

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

// The points on the log scales, rising in both.
std::vector<LogKnot> KnotsOf(std::span<const ShaperPoint> points, double flare) {
    std::vector<LogKnot> all;
    for (const ShaperPoint& p : points) {
        if (p.device > flare && p.linear > 0) {
            all.push_back({std::log(p.device - flare), std::log(p.linear)});
        }
    }
    std::sort(all.begin(), all.end(), [](const LogKnot& a, const LogKnot& b) { return a.x < b.x; });
    std::vector<LogKnot> knots;
    for (const LogKnot& k : all) {
        if (knots.empty() || (k.x > knots.back().x && k.y > knots.back().y)) {
            knots.push_back(k);
        }
    }
    return knots;
}

} // namespace

LogCurve::LogCurve() : LogCurve(0.0, {std::begin(kIdentity), std::end(kIdentity)}) {}

LogCurve::LogCurve(double flare, std::vector<LogKnot> knots) : flare_(flare) {
    if (knots.size() < 2) {
        flare_ = 0.0;
        knots.assign(std::begin(kIdentity), std::end(kIdentity));
    }
    for (const LogKnot& k : knots) {
        knots_.push_back({k.x, k.y, 0.0});
    }
    SetSlopes();
}

void LogCurve::SetSlopes() {
    std::vector<Knot>& k = knots_;
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

// The piece holding x: the knot at its left, or the first or last knot
// for x beyond them.
std::size_t LogCurve::PieceAt(double x) const {
    const auto right = std::upper_bound(knots_.begin(), knots_.end(), x,
                                        [](double v, const Knot& knot) { return v < knot.x; });
    return std::size_t(std::max<std::ptrdiff_t>(right - knots_.begin() - 1, 0));
}

double LogCurve::LogAt(double x) const {
    const std::vector<Knot>& k = knots_;
    if (x <= k.front().x) {
        return k.front().y + k.front().slope * (x - k.front().x);
    }
    if (x >= k.back().x) {
        return k.back().y + k.back().slope * (x - k.back().x);
    }
    const Knot& a = k[PieceAt(x)];
    const Knot& b = (&a)[1];
    const double h = b.x - a.x;
    const double t = (x - a.x) / h;
    const double t2 = t * t;
    const double t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * a.y + (t3 - 2 * t2 + t) * h * a.slope + (3 * t2 - 2 * t3) * b.y +
           (t3 - t2) * h * b.slope;
}

double LogCurve::SlopeAt(double x) const {
    const std::vector<Knot>& k = knots_;
    if (x <= k.front().x) {
        return k.front().slope;
    }
    if (x >= k.back().x) {
        return k.back().slope;
    }
    const Knot& a = k[PieceAt(x)];
    const Knot& b = (&a)[1];
    const double h = b.x - a.x;
    const double t = (x - a.x) / h;
    const double t2 = t * t;
    return ((6 * t2 - 6 * t) * a.y + (6 * t - 6 * t2) * b.y) / h + (3 * t2 - 4 * t + 1) * a.slope +
           (3 * t2 - 2 * t) * b.slope;
}

double LogCurve::operator()(double device) const {
    return device > flare_ ? std::exp(LogAt(std::log(device - flare_))) : 0.0;
}

std::vector<LogKnot> LogCurve::Knots() const {
    std::vector<LogKnot> knots;
    for (const Knot& k : knots_) {
        knots.push_back({k.x, k.y});
    }
    return knots;
}

double LogCurve::Top() const {
    return (*this)(1.0);
}

LogCurve LogCurve::Normalised() const {
    const double shift = std::log(Top());
    std::vector<LogKnot> knots = Knots();
    for (LogKnot& k : knots) {
        k.y -= shift;
    }
    return LogCurve(flare_, std::move(knots));
}

std::vector<double> LogCurve::Table(std::size_t size) const {
    std::vector<double> table(size);
    const double last = static_cast<double>(size - 1);
    for (std::size_t i = 0; i < size; ++i) {
        table[i] = (*this)(static_cast<double>(i) / last);
    }
    return table;
}

LogCurve CurveThrough(std::span<const ShaperPoint> points) {
    const double flare = FlareOf(points);
    return LogCurve(flare, KnotsOf(points, flare));
}
