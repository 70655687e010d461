// GSL's rank takes a column as lost where |R_ii| <= 20 (M + N) eps max|R_jj|
// (its default tolerance, asked for by a negative one).
#include "measure/LinearFit.h"

#include <gsl/gsl_errno.h>
#include <gsl/gsl_linalg.h>
#include <gsl/gsl_permutation.h>

#include <memory>

namespace {

constexpr double kDefaultRankTolerance = -1.0;

struct MatrixFree {
    void operator()(gsl_matrix* m) const { gsl_matrix_free(m); }
};
struct VectorFree {
    void operator()(gsl_vector* v) const { gsl_vector_free(v); }
};
struct PermutationFree {
    void operator()(gsl_permutation* p) const { gsl_permutation_free(p); }
};
using Matrix = std::unique_ptr<gsl_matrix, MatrixFree>;
using Vector = std::unique_ptr<gsl_vector, VectorFree>;
using Permutation = std::unique_ptr<gsl_permutation, PermutationFree>;

Vector VectorOf(const std::vector<double>& values) {
    Vector v(gsl_vector_alloc(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i) {
        gsl_vector_set(v.get(), i, values[i]);
    }
    return v;
}

} // namespace

std::optional<LinearSolution> SolveLeastSquares(const LinearSystem& system) {
    const std::size_t m = system.rows, n = system.columns;
    if (n == 0 || m < n || system.a.size() != m * n) {
        return std::nullopt;
    }
    gsl_set_error_handler_off(); // a failed solve is a status, never an abort
    const Matrix qr(gsl_matrix_alloc(m, n));
    for (std::size_t k = 0; k < m * n; ++k) {
        gsl_matrix_set(qr.get(), k / n, k % n, system.a[k]);
    }
    const Vector tau(gsl_vector_alloc(n)), norm(gsl_vector_alloc(n));
    const Permutation p(gsl_permutation_alloc(n));
    int signum = 0;
    if (gsl_linalg_QRPT_decomp(qr.get(), tau.get(), p.get(), &signum, norm.get()) != GSL_SUCCESS) {
        return std::nullopt;
    }
    LinearSolution solution{gsl_linalg_QRPT_rank(qr.get(), kDefaultRankTolerance), {}};
    if (solution.rank == 0) {
        return std::nullopt;
    }
    const Vector x(gsl_vector_alloc(n)), residual(gsl_vector_alloc(m));
    for (const std::vector<double>& side : system.sides) {
        if (side.size() != m) {
            return std::nullopt;
        }
        const Vector b = VectorOf(side);
        if (gsl_linalg_QRPT_lssolve2(qr.get(), tau.get(), p.get(), b.get(), solution.rank, x.get(),
                                     residual.get()) != GSL_SUCCESS) {
            return std::nullopt;
        }
        std::vector<double>& values = solution.x.emplace_back(n);
        for (std::size_t i = 0; i < n; ++i) {
            values[i] = gsl_vector_get(x.get(), i);
        }
    }
    return solution;
}
