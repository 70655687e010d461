#!/usr/bin/env bash
# CPU time (user + system, of the process and its children) of
# `tamrel-cli scan --linear` against `scanimage` for the same page of SANE's
# virtual test device: 600 dpi, colour, 16 bits, its colour pattern, both
# writing binary PNM to a new file. The two take turns in one run; prints the best and the
# median of RUNS for each and the ratio tamrel-cli / scanimage (the target is
# 1.1 or less). Both produce the same pixels. Builds nothing.
#
# Usage: bench/cli/scan_vs_scanimage.sh [path/to/tamrel-cli] [runs]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
cli="${1:-$root/build/default/cli/tamrel-cli}"
runs="${2:-5}"
export SANE_CONFIG_DIR="$root/tests/sane"
page=(--resolution 600 --mode Color --depth 16)
picture="Color pattern"

for tool in "$cli" scanimage; do
  if ! command -v "$tool" > /dev/null; then
    echo "$tool not found (build tamrel-cli; Debian sane-utils has scanimage)" >&2
    exit 1
  fi
done

work="$(mktemp -d "${TMPDIR:-/tmp}/tamrel-bench-XXXXXX")"
trap 'rm -rf "$work"' EXIT

# User + system CPU seconds of one run, from GNU time's format or bash's.
cpu_of() {
  local out="$work/cpu" TIMEFORMAT='%U %S'
  { time "$@" > /dev/null 2>&1; } 2> "$out"
  awk '{ printf "%.3f", $1 + $2 }' "$out"
}

source "$here/timing.sh"

tamrel_all=()
scanimage_all=()
for _ in $(seq "$runs"); do
  # Each writes a new file: replacing the last run's 26 MB would add the
  # freeing of the old file's blocks and pages, unevenly, to one tool or the other.
  rm -f "$work/scanimage.pnm" "$work/tamrel.pnm"
  scanimage_all+=("$(cpu_of sh -c "scanimage -d test:0 ${page[*]} --test-picture '$picture' \
    --format pnm > '$work/scanimage.pnm'")")
  tamrel_all+=("$(cpu_of "$cli" scan --linear "$work/tamrel.pnm" --device test:0 "${page[@]}" \
    --option "test-picture=$picture")")
done

printf 'page:        %s bytes of PNM\n' "$(stat -c %s "$work/tamrel.pnm")"
printf 'scanimage:   best %s s, median %s s CPU\n' "$(min_of "${scanimage_all[@]}")" \
  "$(median_of "${scanimage_all[@]}")"
printf 'tamrel-cli:  best %s s, median %s s CPU\n' "$(min_of "${tamrel_all[@]}")" \
  "$(median_of "${tamrel_all[@]}")"
printf 'ratio:       best %s, median %s (target <= 1.1)\n' \
  "$(ratio "$(min_of "${tamrel_all[@]}")" "$(min_of "${scanimage_all[@]}")")" \
  "$(ratio "$(median_of "${tamrel_all[@]}")" "$(median_of "${scanimage_all[@]}")")"
