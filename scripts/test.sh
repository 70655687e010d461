#!/usr/bin/env bash
# Installs what Tamrel needs; builds every test, the programs and the fuzzers
# with clang under the sanitizers and runs the whole suite there, with each
# fuzzer run for 5 seconds on its corpus beside it, one at a time (the long
# runs are made outside this script); beside them too, builds the programs
# as they are packaged (GCC, optimised, warnings as errors), makes the Debian
# package of that build and checks it, and checks that the package builds
# from an empty folder too (a second build only where the build's own folder
# was not empty to begin with: in a fresh clone the first package is that
# check); last, the packaged programs must write the bytes the sanitized
# ones wrote. Every test runs once, where it checks the most; the
# benchmarks are built by the default preset, not here. Any failure or
# finding stops with a non-zero exit. The time of each stage is printed at
# the end.
set -euo pipefail
cd "$(dirname "$0")/.."

stage_names=()
stage_seconds=()
stage_cpu=()
stage_name=""
stage_began=$SECONDS
stage_cpu_began=0
begun=$SECONDS

# children_cpu: sets cpu to the processor seconds (user and system) of every
# finished child so far, from the shell's own `times` (run in this shell: a
# command substitution's subshell has no children of its own); a loaded
# machine stretches the wall time of a stage, hardly its processor time.
cpu=0
children_cpu() {
  local times_file=build/.times
  mkdir -p build
  times >"$times_file"
  cpu=$(awk 'NR == 2 {
    split($1, u, /[ms]/); split($2, s, /[ms]/)
    printf "%d", u[1] * 60 + u[2] + s[1] * 60 + s[2] }' "$times_file")
}

# stage NAME: ends the running stage, keeping its time, and starts NAME.
stage() {
  children_cpu
  if [ -n "$stage_name" ]; then
    stage_names+=("$stage_name")
    stage_seconds+=($((SECONDS - stage_began)))
    stage_cpu+=($((cpu - stage_cpu_began)))
  fi
  stage_name="$1"
  stage_began=$SECONDS
  stage_cpu_began=$cpu
  [ -z "$1" ] || echo "== $1"
}

print_times() {
  local status=$?
  local job
  for job in "${packaged:-}" "${fuzz_run:-}"; do
    [ -z "$job" ] || { pkill -P "$job" 2>/dev/null; kill "$job" 2>/dev/null; } || true
  done
  stage ""
  echo "== time per stage (wall, processor)"
  local i
  for i in "${!stage_names[@]}"; do
    printf '%6ss %6ss  %s\n' "${stage_seconds[$i]}" "${stage_cpu[$i]}" "${stage_names[$i]}"
  done
  children_cpu
  printf '%6ss %6ss  all (%s)\n' "$((SECONDS - begun))" "$cpu" \
    "$([ "$status" -eq 0 ] && echo passed || echo failed)"
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

stage "build the tests and programs under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer, with the fuzzers"
cmake --preset asan >/dev/null
cmake --build --preset asan

# The sanitizer tests mostly wait on the programs they start, so two more
# jobs run beside them, at lower priorities: the fuzzers, one at a time
# (each runs for its whole time whatever else takes the processors; an
# input's own limit is raised for that), and the programs as packaged with
# their package. A fresh clone builds the latter into an empty folder, so
# the package made from that build is already one made from an empty folder.
fuzz_log=build/fuzz.log
FUZZ_SECONDS=5 FUZZ_TIMEOUT=60 FUZZ_JOBS=1 nice -n 10 ./fuzz/run.sh build/asan >"$fuzz_log" 2>&1 &
fuzz_run=$!

packaged_log=build/packaged.log
ci_was_empty=1
[ ! -e build/ci ] || ci_was_empty=0
(
  set -e
  renice -n 15 -p "$BASHPID" >/dev/null
  cmake --preset ci
  cmake --build --preset ci
  ./scripts/check-package.sh ci
  if [ "$ci_was_empty" -eq 0 ]; then
    rm -rf build/ci-empty
    ./scripts/package.sh ci build/ci-empty >/dev/null
    rm -rf build/ci-empty
  fi
) >"$packaged_log" 2>&1 &
packaged=$!

stage "every test, under the sanitizers"
ctest --preset asan

stage "fuzz the file readers (what is left of them)"
if ! wait "$fuzz_run"; then
  fuzz_run=""
  cat "$fuzz_log"
  exit 1
fi
fuzz_run=""
tail -n 1 "$fuzz_log"

stage "the programs as packaged (warnings are errors), their Debian package: build, lintian, contents (what is left of them)"
if ! wait "$packaged"; then
  packaged=""
  cat "$packaged_log"
  exit 1
fi
packaged=""
tail -n 1 "$packaged_log"

stage "the packaged programs write what the sanitized ones wrote"
./scripts/same-bytes.sh build/ci build/asan
stage ""
