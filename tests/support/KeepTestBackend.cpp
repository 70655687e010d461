// Preloaded, with the quiet cancel, into the programs the tests start.
// SANE's test backend leaks its reader's picture buffer whenever a page ends
// before the reader has written all of it: the reader's next write fails
// once sane_cancel has closed the pipe, and it returns without freeing the
// buffer. Every front end that stops a page early meets it, and only
// reading each page to its end would avoid it. The dll backend unloads the
// test backend at sane_exit, after which the leak checker could neither
// name that block nor be told to pass it over. Loaded here for the whole
// run, the backend keeps its name in the checker's report, and
// tests/lsan.supp passes over what that backend alone allocated; a leak of
// the program's own is still found.
#include <dlfcn.h>

namespace {

const bool kKept = ::dlopen(TAMREL_SANE_TEST_BACKEND, RTLD_NOW | RTLD_NODELETE) != nullptr;

} // namespace
