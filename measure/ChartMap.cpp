// The square-to-quadrilateral map (Heckbert 1989): with the corners p0..p3
// and S = p0 - p1 + p2 - p3, an affine map when S = 0; else
//   g = det(S, p3 - p2) / det(p1 - p2, p3 - p2),
//   h = det(p1 - p2, S) / det(p1 - p2, p3 - p2),
// and a = x1 - x0 + g x1, b = x3 - x0 + h x3, c = x0 (d, e, f likewise for y).
// Its inverse is the adjugate of the 3 x 3 matrix, scaled by any factor.
#include "measure/ChartMap.h"

#include <cmath>

namespace {

// Below this, in square pixels, the corners bound no usable area.
constexpr double kLeastArea = 1.0;
constexpr std::size_t kCornerCount = 4;

double Cross(ImagePoint o, ImagePoint a, ImagePoint b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Every turn the same way and none straight: convex, neither crossed nor folded.
bool IsConvex(const ChartCorners& p) {
    int positive = 0;
    int negative = 0;
    for (std::size_t i = 0; i < kCornerCount; ++i) {
        const double turn = Cross(p[i], p[(i + 1) % kCornerCount], p[(i + 2) % kCornerCount]);
        positive += turn > 0 ? 1 : 0;
        negative += turn < 0 ? 1 : 0;
    }
    return positive == int(kCornerCount) || negative == int(kCornerCount);
}

double Area(const ChartCorners& p) {
    return std::abs(Cross(p[0], p[1], p[2]) + Cross(p[0], p[2], p[3])) / 2.0;
}

Matrix3 SquareTo(const ChartCorners& p) {
    const double sx = p[0].x - p[1].x + p[2].x - p[3].x;
    const double sy = p[0].y - p[1].y + p[2].y - p[3].y;
    const double dx1 = p[1].x - p[2].x;
    const double dy1 = p[1].y - p[2].y;
    const double dx2 = p[3].x - p[2].x;
    const double dy2 = p[3].y - p[2].y;
    const double det = dx1 * dy2 - dx2 * dy1;
    const double g = (sx * dy2 - dx2 * sy) / det;
    const double h = (dx1 * sy - sx * dy1) / det;
    return {p[1].x - p[0].x + g * p[1].x,
            p[3].x - p[0].x + h * p[3].x,
            p[0].x,
            p[1].y - p[0].y + g * p[1].y,
            p[3].y - p[0].y + h * p[3].y,
            p[0].y,
            g,
            h,
            1.0};
}

ImagePoint Apply(const Matrix3& m, double u, double v) {
    const double w = m[6] * u + m[7] * v + m[8];
    return {(m[0] * u + m[1] * v + m[2]) / w, (m[3] * u + m[4] * v + m[5]) / w};
}

} // namespace

std::optional<ChartMap> ChartMap::Make(const ChartCorners& corners, int columns, int rows) {
    for (const ImagePoint& p : corners) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
            return std::nullopt;
        }
    }
    if (columns <= 0 || rows <= 0 || !IsConvex(corners) || Area(corners) < kLeastArea) {
        return std::nullopt;
    }
    const Matrix3 forward = SquareTo(corners);
    return ChartMap(forward, Adjugate(forward), columns, rows);
}

ImagePoint ChartMap::ToImage(double chartX, double chartY) const {
    return Apply(forward_, chartX / columns_, chartY / rows_);
}

ImagePoint ChartMap::ToChart(ImagePoint image) const {
    const ImagePoint unit = Apply(inverse_, image.x, image.y);
    return {unit.x * columns_, unit.y * rows_};
}
