// GSL reports a failed step through its error handler, which aborts by
// default: it is turned off once, and a failed solve keeps the best point
// the workspace holds, or the start.
#include "measure/LeastSquares.h"

#include "measure/GslHandles.h"

#include <gsl/gsl_multifit_nlinear.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Stop when a step moves every parameter by less than this relative amount,
// or the gradient or the change of the sum of squares falls below theirs.
constexpr double kStepTolerance = 1e-7;
constexpr double kGradientTolerance = 1e-8;
constexpr double kSumTolerance = 1e-10;

// GSL hands vectors with a stride (a column of its Jacobian), so values are
// copied through plain buffers.
int Evaluate(const gsl_vector* x, void* data, gsl_vector* f) {
    const auto* problem = static_cast<const LeastSquaresProblem*>(data);
    std::vector<double> in(x->size);
    std::vector<double> out(f->size);
    for (std::size_t i = 0; i < in.size(); ++i) {
        in[i] = gsl_vector_get(x, i);
    }
    problem->residuals(in, out);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (!std::isfinite(out[i])) {
            return GSL_EDOM;
        }
        gsl_vector_set(f, i, out[i]);
    }
    return GSL_SUCCESS;
}

int EvaluateJacobian(const gsl_vector* x, void* data, gsl_matrix* j) {
    const auto* problem = static_cast<const LeastSquaresProblem*>(data);
    std::vector<double> in(x->size);
    std::vector<double> out(j->size1 * j->size2);
    for (std::size_t i = 0; i < in.size(); ++i) {
        in[i] = gsl_vector_get(x, i);
    }
    problem->jacobian(in, out);
    for (std::size_t r = 0; r < j->size1; ++r) {
        for (std::size_t c = 0; c < j->size2; ++c) {
            const double v = out[r * j->size2 + c];
            if (!std::isfinite(v)) {
                return GSL_EDOM;
            }
            gsl_matrix_set(j, r, c, v);
        }
    }
    return GSL_SUCCESS;
}

struct WorkspaceFree {
    void operator()(gsl_multifit_nlinear_workspace* w) const { gsl_multifit_nlinear_free(w); }
};

gsl_multifit_nlinear_fdf FunctionsOf(const LeastSquaresProblem& problem) {
    gsl_multifit_nlinear_fdf fdf{};
    fdf.f = Evaluate;
    fdf.df = problem.jacobian ? EvaluateJacobian : nullptr;
    fdf.n = problem.residualCount;
    fdf.p = problem.start.size();
    fdf.params = const_cast<LeastSquaresProblem*>(&problem);
    return fdf;
}

// Where the solver stopped, if it is finite and no worse than the start;
// else the start.
std::vector<double> KeptOrStart(const LeastSquaresProblem& problem, const gsl_vector* reached) {
    std::vector<double> result(problem.start.size());
    for (std::size_t i = 0; i < result.size(); ++i) {
        result[i] = gsl_vector_get(reached, i);
    }
    const bool finite =
        std::all_of(result.begin(), result.end(), [](double v) { return std::isfinite(v); });
    if (!finite || HalfSumOfSquares(problem.residuals, problem.residualCount, result) >
                       HalfSumOfSquares(problem.residuals, problem.residualCount, problem.start)) {
        return problem.start;
    }
    return result;
}

} // namespace

std::vector<double> SolveLeastSquares(const LeastSquaresProblem& problem) {
    QuietGsl();
    const std::size_t p = problem.start.size();
    const std::size_t n = problem.residualCount;
    if (p == 0 || n < p) {
        return problem.start;
    }
    gsl_multifit_nlinear_fdf fdf = FunctionsOf(problem);
    gsl_multifit_nlinear_parameters parameters = gsl_multifit_nlinear_default_parameters();
    if (problem.normalEquations) {
        parameters.solver = gsl_multifit_nlinear_solver_cholesky;
    }
    const std::unique_ptr<gsl_multifit_nlinear_workspace, WorkspaceFree> workspace(
        gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &parameters, n, p));
    const GslVector x(gsl_vector_alloc(p));
    if (!workspace || !x) {
        return problem.start;
    }
    for (std::size_t i = 0; i < p; ++i) {
        gsl_vector_set(x.get(), i, problem.start[i]);
    }
    if (gsl_multifit_nlinear_init(x.get(), &fdf, workspace.get()) != GSL_SUCCESS) {
        return problem.start;
    }
    int info = 0;
    gsl_multifit_nlinear_driver(problem.maxIterations, kStepTolerance, kGradientTolerance,
                                kSumTolerance, nullptr, nullptr, &info, workspace.get());
    return KeptOrStart(problem, gsl_multifit_nlinear_position(workspace.get()));
}

double HalfSumOfSquares(const ResidualFn& residuals, std::size_t residualCount,
                        std::span<const double> x) {
    std::vector<double> r(residualCount);
    residuals(x, r);
    double sum = 0;
    for (const double v : r) {
        sum += v * v;
    }
    return std::isfinite(sum) ? sum / 2 : HUGE_VAL;
}
