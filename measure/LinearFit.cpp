// GSL's rank takes a column as lost where |R_ii| <= 20 (M + N) eps max|R_jj|
// (its default tolerance, asked for by a negative one).
#include "measure/LinearFit.h"

#include "measure/GslHandles.h"

#include <gsl/gsl_linalg.h>

namespace {

constexpr double kDefaultRankTolerance = -1.0;

GslVector VectorOf(const std::vector<double>& values) {
    GslVector v(gsl_vector_alloc(values.size()));
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
    QuietGsl();
    const GslMatrix qr(gsl_matrix_alloc(m, n));
    for (std::size_t k = 0; k < m * n; ++k) {
        gsl_matrix_set(qr.get(), k / n, k % n, system.a[k]);
    }
    const GslVector tau(gsl_vector_alloc(n)), norm(gsl_vector_alloc(n));
    const GslPermutation p(gsl_permutation_alloc(n));
    int signum = 0;
    if (gsl_linalg_QRPT_decomp(qr.get(), tau.get(), p.get(), &signum, norm.get()) != GSL_SUCCESS) {
        return std::nullopt;
    }
    LinearSolution solution{gsl_linalg_QRPT_rank(qr.get(), kDefaultRankTolerance), {}};
    if (solution.rank == 0) {
        return std::nullopt;
    }
    const GslVector x(gsl_vector_alloc(n)), residual(gsl_vector_alloc(m));
    for (const std::vector<double>& side : system.sides) {
        if (side.size() != m) {
            return std::nullopt;
        }
        const GslVector b = VectorOf(side);
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
