// Owners of GSL's allocations, and GSL's error handler turned off: by
// default it aborts the process on a failed step, where the fits here take a
// failure as a status and go on.
#pragma once

#include <gsl/gsl_errno.h>
#include <gsl/gsl_matrix.h>
#include <gsl/gsl_permutation.h>
#include <gsl/gsl_vector.h>

#include <memory>

struct GslMatrixFree {
    void operator()(gsl_matrix* m) const { gsl_matrix_free(m); }
};
struct GslVectorFree {
    void operator()(gsl_vector* v) const { gsl_vector_free(v); }
};
struct GslPermutationFree {
    void operator()(gsl_permutation* p) const { gsl_permutation_free(p); }
};
using GslMatrix = std::unique_ptr<gsl_matrix, GslMatrixFree>;
using GslVector = std::unique_ptr<gsl_vector, GslVectorFree>;
using GslPermutation = std::unique_ptr<gsl_permutation, GslPermutationFree>;

// Once per process; every later call does nothing.
inline void QuietGsl() {
    static const bool quiet = [] {
        gsl_set_error_handler_off();
        return true;
    }();
    (void)quiet;
}
