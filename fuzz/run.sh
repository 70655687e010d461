#!/usr/bin/env bash
# Runs every fuzzer for a bounded time on its corpus: seeds written at run
# time, the third-party BMP suite read in place, the past findings kept in
# fuzz/corpus/<format>/, and a working corpus kept in the build folder. A
# finding fails the run and prints the input behind it.
# Usage: fuzz/run.sh [build folder] (default build/fuzz); FUZZ_SECONDS sets
# the time per fuzzer (default 60), FUZZ_JOBS how many run at once (default:
# one per core), FUZZ_ONLY the names of the fuzzers to run (default: all),
# FUZZ_TIMEOUT the seconds one input may take (default 10; long runs beside
# other work want more, as the limit is wall-clock time). Each fuzzer gets its whole time whatever runs beside it; its
# report is printed once it has ended, in the order below.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build/fuzz}" && pwd)"
seconds="${FUZZ_SECONDS:-60}"
jobs="${FUZZ_JOBS:-$(nproc)}"
suite="$root/../shared/bmpsuite"
work="$build/fuzz-work"

# A finding aborts at once; -malloc_limit_mb makes any single allocation
# above 64 MiB a finding too (no input here is above 1 MiB, and the readers
# must never allocate for data the file does not hold).
fuzz_flags=(-max_total_time="$seconds" -timeout="${FUZZ_TIMEOUT:-10}" -rss_limit_mb=2048 -malloc_limit_mb=64
            -max_len=1048576 -print_final_stats=1)
export UBSAN_OPTIONS=print_stacktrace=1

# Prints each saved input in hex and in base64, so a run's log is enough to
# reproduce a finding.
show_findings() {
  local file
  for file in "$1"/*; do
    [ -f "$file" ] || continue
    echo "---- finding: $(basename "$file") ($(wc -c <"$file") bytes)"
    od -A x -t x1z -v "$file" | head -n 256
    echo "---- base64:"
    base64 -w 76 "$file"
  done
}

# run_fuzzer NAME DICTIONARY SEED_FOLDERS...
run_fuzzer() {
  local name="$1" dict="$2"
  shift 2
  local corpus="$work/corpus/$name" findings="$work/findings/$name" log="$work/$name.log"
  rm -rf "$findings"
  mkdir -p "$corpus" "$findings"
  local seeds=()
  local folder
  for folder in "$@"; do
    if [ -d "$folder" ]; then
      seeds+=("$folder")
    else
      echo "   (no $folder: its seeds are left out)"
    fi
  done
  echo "== fuzz $name for ${seconds}s"
  local status=0
  local dict_flag=()
  if [ -n "$dict" ]; then dict_flag=(-dict="$dict"); fi
  "$build/fuzz/$name" "${fuzz_flags[@]}" "${dict_flag[@]}" -artifact_prefix="$findings/" \
    "$corpus" "${seeds[@]}" >"$log" 2>&1 || status=$?
  grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)' "$log" || true
  grep -E '^Done [0-9]+ runs' "$log" || true
  if [ "$status" -ne 0 ]; then
    echo "!! $name found a problem (exit $status); the end of its log:"
    tail -n 80 "$log"
    show_findings "$findings"
    return 1
  fi
}

# start NAME DICTIONARY SEED_FOLDERS...: runs the fuzzer in the background,
# its report and exit status into files of its own, once fewer than $jobs run.
names=()
start() {
  case " ${FUZZ_ONLY:-$1} " in *" $1 "*) ;; *) return 0 ;; esac
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
    wait -n || true
  done
  local name="$1"
  names+=("$name")
  (
    status=0
    run_fuzzer "$@" >"$work/$name.report" 2>&1 || status=$?
    echo "$status" >"$work/$name.status"
  ) &
}

rm -rf "$work/seeds" "$work"/*.report "$work"/*.status
mkdir -p "$work"
"$build/fuzz/fuzz_seeds" "$work/seeds"
start fuzz_bmp "$root/fuzz/bmp.dict" "$work/seeds/bmp" \
  "$suite/g" "$suite/q" "$suite/b" "$suite/x"
start fuzz_param_file "$root/fuzz/param.dict" "$work/seeds/param"
start fuzz_apply "$root/fuzz/bmp.dict" "$work/seeds/bmp" \
  "$suite/g" "$suite/q" "$suite/b" "$suite/x"
start fuzz_option "$root/fuzz/option.dict" "$root/fuzz/corpus/option"
# CGATS: the past findings (files that crashed LittleCMS's own parser) and
# ArgyllCMS's reference files, read in place.
start fuzz_cgats "$root/fuzz/cgats.dict" "$work/seeds/cgats" "$root/fuzz/corpus/cgats" \
  /usr/share/color/argyll/ref
# The scan readers: seeds are the PNG and TIFF suites read in place, and
# PNGs of the project's own writer (literal-only segments).
start fuzz_pnm "" "$work/seeds/pnm"
start fuzz_png "" "$root/fuzz/corpus/png" "$root/../shared/pngsuite/pngsuite" \
  "$root/../shared/pngsuite/testpngs/crashers"
start fuzz_tiff "" "$root/fuzz/corpus/tiff" "$root/../shared/tiffsuite"
# JPEG: small files of libjpeg-turbo's cjpeg (baseline, restarts, progressive,
# arithmetic-coded) and of the project's own writer.
start fuzz_jpeg "" "$root/fuzz/corpus/jpeg"
wait
passed=0
failed=0
for name in "${names[@]}"; do
  cat "$work/$name.report"
  if [ "$(cat "$work/$name.status" 2>/dev/null)" = 0 ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
done
echo "fuzzers: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
