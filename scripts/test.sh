#!/usr/bin/env bash
# Installs what Tamrel needs, builds it with warnings as errors and runs every
# test; builds the Debian package from that build and checks it, and checks
# that the package builds from an empty folder too; then the same suite under
# the sanitizers, whose build holds the fuzzers as well; then each fuzzer for
# about a minute on its corpus, one per core at a time. Any failure or finding
# stops with a non-zero exit. The time of each stage is printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

stage_names=()
stage_seconds=()
stage_name=""
stage_began=$SECONDS
begun=$SECONDS

# stage NAME: ends the running stage, keeping its time, and starts NAME.
stage() {
  if [ -n "$stage_name" ]; then
    stage_names+=("$stage_name")
    stage_seconds+=($((SECONDS - stage_began)))
  fi
  stage_name="$1"
  stage_began=$SECONDS
  [ -z "$1" ] || echo "== $1"
}

print_times() {
  local status=$?
  stage ""
  echo "== time per stage"
  local i
  for i in "${!stage_names[@]}"; do
    printf '%6ss  %s\n' "${stage_seconds[$i]}" "${stage_names[$i]}"
  done
  printf '%6ss  all (%s)\n' "$((SECONDS - begun))" "$([ "$status" -eq 0 ] && echo passed || echo failed)"
}
trap print_times EXIT

stage "set-up"
./scripts/setup.sh
# Nothing is compiled twice with the same flags: the package's check from an
# empty folder takes the objects of the first build from the compiler cache.
if [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi

stage "build (warnings are errors)"
cmake --preset ci
cmake --build --preset ci

stage "test"
ctest --preset ci

stage "the Debian package from the build: build, lintian, contents"
./scripts/check-package.sh ci

stage "the Debian package from an empty build folder"
fresh=build/ci-empty
rm -rf "$fresh"
./scripts/package.sh ci "$fresh" >/dev/null
rm -rf "$fresh"

stage "build under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer, with the fuzzers"
cmake --preset asan
cmake --build --preset asan

stage "test under the sanitizers"
ctest --preset asan

stage "fuzz the file readers"
./fuzz/run.sh build/asan
stage ""
