// SANE's test backend leaks a buffer per scan and is unloaded at sane_exit,
// so a sanitizer build's leak checker can neither name nor suppress what it
// finds there: tests that scan, and the programs they start, run without the
// leak checker. The address and undefined-behaviour checks stay on.
#include <cstdlib>

extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace {

// Programs the tests start read their options from the environment.
const int kChildrenToo = ::setenv("ASAN_OPTIONS", "detect_leaks=0:abort_on_error=1", 1);

} // namespace
