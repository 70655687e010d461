// Nonlinear least squares through GSL: the parameters that minimise the sum
// of the squared residuals, found by its trust-region Levenberg-Marquardt
// solver with a Jacobian of finite differences.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

// Fills `residuals` (its size fixed by the caller) for the parameters `x`.
using ResidualFn = std::function<void(std::span<const double> x, std::span<double> residuals)>;

struct LeastSquaresProblem {
    ResidualFn residuals;
    std::size_t residualCount = 0; // at least the number of parameters
    std::vector<double> start;
    std::size_t maxIterations = 100;
};

// The parameters reached: the start when the solver could not be set up or
// made no progress. Never aborts the process on a solver error.
std::vector<double> SolveLeastSquares(const LeastSquaresProblem& problem);

// Half the sum of squares, the solver's own measure.
double HalfSumOfSquares(const ResidualFn& residuals, std::size_t residualCount,
                        std::span<const double> x);
