// The fuzzers' assertion: a broken property aborts, so libFuzzer keeps the
// input that broke it as a crash and prints what was broken, and where.
#pragma once

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void FuzzCheckFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, condition);
    std::abort();
}

// A macro only to print the condition's own text.
#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? static_cast<void>(0) : FuzzCheckFailed(#condition, __FILE__, __LINE__))
