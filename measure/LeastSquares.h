// Nonlinear least squares through GSL: the parameters that minimise the sum
// of the squared residuals, found by its trust-region Levenberg-Marquardt
// solver, with the caller's Jacobian or one of finite differences.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

// Fills `residuals` (its size fixed by the caller) for the parameters `x`.
using ResidualFn = std::function<void(std::span<const double> x, std::span<double> residuals)>;

// Fills `jacobian`, residual by residual, each row the residual's
// derivatives by every parameter (residuals x parameters, row-major).
using JacobianFn = std::function<void(std::span<const double> x, std::span<double> jacobian)>;

struct LeastSquaresProblem {
    ResidualFn residuals;
    JacobianFn jacobian;           // empty: GSL's finite differences
    std::size_t residualCount = 0; // at least the number of parameters
    std::vector<double> start;
    std::size_t maxIterations = 100;
    // Each step solved through the normal equations (Cholesky) instead of a
    // QR decomposition: several times quicker where residuals far outnumber
    // the parameters, and accurate enough for a well-posed problem.
    bool normalEquations = false;
};

// The parameters reached: the start when the solver could not be set up or
// made no progress. Never aborts the process on a solver error.
std::vector<double> SolveLeastSquares(const LeastSquaresProblem& problem);

// Half the sum of squares, the solver's own measure.
double HalfSumOfSquares(const ResidualFn& residuals, std::size_t residualCount,
                        std::span<const double> x);
