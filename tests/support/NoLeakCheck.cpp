// SANE's test backend leaks a buffer for every page stopped early and is
// unloaded at sane_exit, so a sanitizer build's leak checker can neither
// name nor pass over what it finds there: tests that scan in their own
// process run without the leak checker. The programs they start keep the
// backend loaded through the library they preload (KeepTestBackend.cpp) and
// run with it, passing over that backend's leak alone (tests/lsan.supp, named
// in the tests' environment). The address and undefined-behaviour checks stay
// on. The programs preload that library before the sanitizer's runtime,
// which the runtime would otherwise refuse.
#include <cstdlib>

extern "C" const char* __asan_default_options() {
    return "detect_leaks=0:verify_asan_link_order=0";
}

namespace {

constexpr const char* kChildOptions = "detect_leaks=1:abort_on_error=1:verify_asan_link_order=0";

// Programs the tests start read their options from the environment.
const int kChildrenToo = ::setenv("ASAN_OPTIONS", kChildOptions, 1);

} // namespace
