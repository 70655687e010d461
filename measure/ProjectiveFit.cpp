// Solved by Eigen's column-pivoting Householder QR, whose rank tells a
// degenerate set of points.
#include "measure/ProjectiveFit.h"

#include <Eigen/Dense>

#include <cmath>

namespace {

constexpr std::size_t kLeastPairs = 4;
constexpr int kUnknowns = 8;

// The similarity that moves points to their centroid and scales their mean
// distance from it to sqrt(2).
Eigen::Matrix3d Normalising(std::span<const PointPair> pairs, bool target) {
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
    Eigen::Matrix3d m;
    m << s, 0, -s * cx, 0, s, -s * cy, 0, 0, 1;
    return m;
}

Eigen::Vector2d Moved(const Eigen::Matrix3d& m, ImagePoint p) {
    const Eigen::Vector3d q = m * Eigen::Vector3d(p.x, p.y, 1.0);
    return q.head<2>() / q.z();
}

} // namespace

std::optional<Matrix3> FitProjective(std::span<const PointPair> pairs) {
    if (pairs.size() < kLeastPairs) {
        return std::nullopt;
    }
    const Eigen::Matrix3d from = Normalising(pairs, false);
    const Eigen::Matrix3d to = Normalising(pairs, true);
    Eigen::MatrixXd a = Eigen::MatrixXd::Zero(Eigen::Index(2 * pairs.size()), kUnknowns);
    Eigen::VectorXd b(a.rows());
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const Eigen::Vector2d u = Moved(from, pairs[i].from);
        const Eigen::Vector2d x = Moved(to, pairs[i].to);
        const auto r = Eigen::Index(2 * i);
        a.row(r) << u.x(), u.y(), 1, 0, 0, 0, -u.x() * x.x(), -u.y() * x.x();
        a.row(r + 1) << 0, 0, 0, u.x(), u.y(), 1, -u.x() * x.y(), -u.y() * x.y();
        b(r) = x.x(), b(r + 1) = x.y();
    }
    const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(a);
    if (qr.rank() < kUnknowns) {
        return std::nullopt;
    }
    const Eigen::VectorXd h = qr.solve(b);
    Eigen::Matrix3d normal;
    normal << h(0), h(1), h(2), h(3), h(4), h(5), h(6), h(7), 1.0;
    const Eigen::Matrix3d map = to.inverse() * normal * from;
    Matrix3 result{};
    for (int k = 0; k < 9; ++k) {
        result[std::size_t(k)] = map(k / 3, k % 3) / map(2, 2);
    }
    return result;
}

ImagePoint Project(const Matrix3& m, ImagePoint p) {
    const double w = m[6] * p.x + m[7] * p.y + m[8];
    return {(m[0] * p.x + m[1] * p.y + m[2]) / w, (m[3] * p.x + m[4] * p.y + m[5]) / w};
}
