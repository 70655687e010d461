// Linear least squares: an exact system comes back exactly, an
// overdetermined one gives the solution of the normal equations, a system
// whose columns repeat one another reports its rank and still gives a
// solution that fits, and a system with more unknowns than equations, or no
// information at all, gives none.
#include "measure/LinearFit.h"

#include <gtest/gtest.h>

namespace linear_fit_test {

namespace {

constexpr double kTolerance = 1e-12;

// A x for the system's matrix, row by row.
std::vector<double> Applied(const LinearSystem& s, const std::vector<double>& x) {
    std::vector<double> b(s.rows, 0.0);
    for (std::size_t r = 0; r < s.rows; ++r) {
        for (std::size_t c = 0; c < s.columns; ++c) {
            b[r] += s.a[r * s.columns + c] * x[c];
        }
    }
    return b;
}

TEST(LinearFit, ALineThroughPointsIsTheLeastSquaresLine) {
    // y = 1 + 2 x exactly, and with off-line points whose residuals are
    // (+0.5, -0.5, -0.5, +0.5), which sum to nothing and have no slope: the
    // line fitted to (0, 1.5), (1, 2.5), (2, 4.5), (3, 7.5) is y = 1 + 2 x too.
    const LinearSystem system{4, 2, {1, 0, 1, 1, 1, 2, 1, 3}, {{1, 3, 5, 7}, {1.5, 2.5, 4.5, 7.5}}};
    const auto fit = SolveLeastSquares(system);
    ASSERT_TRUE(fit);
    EXPECT_EQ(fit->rank, 2u);
    ASSERT_EQ(fit->x.size(), 2u);
    for (const std::vector<double>& x : fit->x) {
        EXPECT_NEAR(x[0], 1.0, kTolerance);
        EXPECT_NEAR(x[1], 2.0, kTolerance);
    }
}

TEST(LinearFit, RepeatedColumnsShortenTheRankAndTheSolutionStillFits) {
    // The first two columns are one: b = 3 c1 + c3 is met by any split of
    // the 3 between them.
    const LinearSystem system{4, 3, {1, 1, 1, 2, 2, 1, 3, 3, 1, 4, 4, 1}, {{4, 7, 10, 13}}};
    const auto fit = SolveLeastSquares(system);
    ASSERT_TRUE(fit);
    EXPECT_EQ(fit->rank, 2u);
    const std::vector<double> b = Applied(system, fit->x.front());
    for (std::size_t r = 0; r < b.size(); ++r) {
        EXPECT_NEAR(b[r], system.sides.front()[r], 1e-9) << "row " << r;
    }
}

TEST(LinearFit, NoSolutionForTooFewEquationsOrAZeroMatrix) {
    EXPECT_FALSE(SolveLeastSquares({1, 2, {1, 1}, {{1}}}));
    EXPECT_FALSE(SolveLeastSquares({3, 2, {0, 0, 0, 0, 0, 0}, {{1, 2, 3}}}));
    EXPECT_FALSE(SolveLeastSquares({2, 2, {1, 0}, {{1, 2}}})) << "a matrix of the wrong size";
}

} // namespace

} // namespace linear_fit_test
