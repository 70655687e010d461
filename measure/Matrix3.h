// Row-major 3 x 3 matrices: a profile's colorants are the columns of one,
// and the projective map of a chart's corners is one.
#pragma once

#include <array>

using Matrix3 = std::array<double, 9>;
using Vector3 = std::array<double, 3>;

Vector3 Times(const Matrix3& m, const Vector3& v);
Matrix3 Product(const Matrix3& a, const Matrix3& b);
// The transposed matrix of cofactors: m times it is det(m) times the identity.
Matrix3 Adjugate(const Matrix3& m);
// False, leaving `inverse` alone, when the matrix is singular.
bool Invert(const Matrix3& m, Matrix3& inverse);
