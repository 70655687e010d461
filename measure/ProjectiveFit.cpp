// Solved by linear least squares with column-pivoting QR, whose rank tells a
// degenerate set of points.
#include "measure/ProjectiveFit.h"

#include "measure/LinearFit.h"

#include <cmath>

namespace {

constexpr std::size_t kLeastPairs = 4;
constexpr std::size_t kUnknowns = 8;

// The similarity that moves points to their centroid and scales their mean
// distance from it to sqrt(2).
Matrix3 Normalising(std::span<const PointPair> pairs, bool target) {
    double cx = 0, cy = 0;
    for (const PointPair& p : pairs) {
        const ImagePoint& q = target ? p.to : p.from;
        cx += q.x, cy += q.y;
    }
    cx /= double(pairs.size()), cy /= double(pairs.size());
    double spread = 0;
    for (const PointPair& p : pairs) {
        const ImagePoint& q = target ? p.to : p.from;
        spread += std::hypot(q.x - cx, q.y - cy);
    }
    const double s = spread > 0 ? std::sqrt(2.0) * double(pairs.size()) / spread : 1.0;
    return {s, 0, -s * cx, 0, s, -s * cy, 0, 0, 1};
}

// Each pair's two rows of the system in the eight unknowns a..h.
LinearSystem ProjectiveSystem(std::span<const PointPair> pairs, const Matrix3& from,
                              const Matrix3& to) {
    LinearSystem system{2 * pairs.size(), kUnknowns, {}, {{}}};
    for (const PointPair& pair : pairs) {
        const ImagePoint u = Project(from, pair.from), x = Project(to, pair.to);
        system.a.insert(system.a.end(), {u.x, u.y, 1, 0, 0, 0, -u.x * x.x, -u.y * x.x});
        system.a.insert(system.a.end(), {0, 0, 0, u.x, u.y, 1, -u.x * x.y, -u.y * x.y});
        system.sides[0].insert(system.sides[0].end(), {x.x, x.y});
    }
    return system;
}

} // namespace

std::optional<Matrix3> FitProjective(std::span<const PointPair> pairs) {
    if (pairs.size() < kLeastPairs) {
        return std::nullopt;
    }
    const Matrix3 from = Normalising(pairs, false);
    const Matrix3 to = Normalising(pairs, true);
    Matrix3 back{};
    const auto h = SolveLeastSquares(ProjectiveSystem(pairs, from, to));
    if (!h || h->rank < kUnknowns || !Invert(to, back)) {
        return std::nullopt;
    }
    const std::vector<double>& v = h->x.front();
    const Matrix3 normal{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], 1.0};
    const Matrix3 map = Product(Product(back, normal), from);
    Matrix3 result{};
    for (std::size_t k = 0; k < result.size(); ++k) {
        result[k] = map[k] / map[8];
    }
    return result;
}

ImagePoint Project(const Matrix3& m, ImagePoint p) {
    const double w = m[6] * p.x + m[7] * p.y + m[8];
    return {(m[0] * p.x + m[1] * p.y + m[2]) / w, (m[3] * p.x + m[4] * p.y + m[5]) / w};
}
