// SANE's test backend leaks a buffer per scan and is unloaded at sane_exit,
// so a sanitizer build's leak checker can neither name nor suppress what it
// finds there: tests that scan, and the programs they start, run without the
// leak checker. The address and undefined-behaviour checks stay on. They
// also preload a library before the sanitizer's runtime (see
// QuietReaderCancel.cpp), which the runtime would otherwise refuse.
#include <cstdlib>

extern "C" const char* __asan_default_options() {
    return "detect_leaks=0:verify_asan_link_order=0";
}

namespace {

constexpr const char* kChildOptions = "detect_leaks=0:abort_on_error=1:verify_asan_link_order=0";

// Programs the tests start read their options from the environment.
const int kChildrenToo = ::setenv("ASAN_OPTIONS", kChildOptions, 1);

} // namespace
