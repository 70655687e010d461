// The inverse as the adjugate over the determinant (expanded along the first row).
#include "measure/Matrix3.h"

#include <cmath>

Vector3 Times(const Matrix3& m, const Vector3& v) {
    return {m[0] * v[0] + m[1] * v[1] + m[2] * v[2], m[3] * v[0] + m[4] * v[1] + m[5] * v[2],
            m[6] * v[0] + m[7] * v[1] + m[8] * v[2]};
}

Matrix3 Product(const Matrix3& a, const Matrix3& b) {
    Matrix3 product{};
    for (std::size_t k = 0; k < product.size(); ++k) {
        const std::size_t r = k / 3, c = k % 3;
        product[k] = a[3 * r] * b[c] + a[3 * r + 1] * b[3 + c] + a[3 * r + 2] * b[6 + c];
    }
    return product;
}

Matrix3 Adjugate(const Matrix3& m) {
    return {m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
            m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
            m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]};
}

bool Invert(const Matrix3& m, Matrix3& inverse) {
    const Matrix3 adj = Adjugate(m);
    const double det = m[0] * adj[0] + m[1] * adj[3] + m[2] * adj[6];
    if (!std::isfinite(det) || det == 0.0) {
        return false;
    }
    for (std::size_t i = 0; i < inverse.size(); ++i) {
        inverse[i] = adj[i] / det;
    }
    return true;
}
