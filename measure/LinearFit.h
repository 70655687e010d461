// Linear least squares: the x that makes |A x - b| least, for one or more
// right-hand sides b, by Householder QR with column pivoting (GSL's QRPT).
// Pivoting reduces the largest remaining column first, so a column that adds
// nothing shows as a zero on R's diagonal and the rank falls short of the
// columns: the solution given is then a basic one, the columns past the rank
// (in the pivots' order) taken as zero.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

struct LinearSystem {
    std::size_t rows = 0;
    std::size_t columns = 0;
    std::vector<double> a;                  // rows x columns, row-major
    std::vector<std::vector<double>> sides; // each of `rows` values
};

struct LinearSolution {
    std::size_t rank = 0;
    std::vector<std::vector<double>> x; // `columns` values per right-hand side
};

// Nothing when A has fewer rows than columns, or is all zeros.
std::optional<LinearSolution> SolveLeastSquares(const LinearSystem& system);
