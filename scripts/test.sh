#!/usr/bin/env bash
# Installs what Tamrel needs, builds it with warnings as errors and runs every
# test; then the same suite under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

echo "== build and test (warnings are errors)"
cmake --preset ci
cmake --build --preset ci
ctest --preset ci
