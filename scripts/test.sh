#!/usr/bin/env bash
# Installs what Tamrel needs, builds it with warnings as errors and runs every
# test; then the same suite under the sanitizers; then each fuzzer for about a
# minute on its corpus. The Debian package is built and checked after the
# first suite. Any failure or finding stops with a non-zero exit.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

echo "== build and test (warnings are errors)"
cmake --preset ci
cmake --build --preset ci
ctest --preset ci

echo "== the Debian package: build, lintian, contents"
./scripts/check-package.sh ci

echo "== build and test under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan
cmake --build --preset asan
ctest --preset asan

echo "== fuzz the file readers"
cmake --preset fuzz
cmake --build --preset fuzz
./fuzz/run.sh build/fuzz
