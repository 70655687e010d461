#!/usr/bin/env bash
# Times `tamrel-cli apply` (BMP in, BMP out) against `cp` of the same 8000 x
# 6000 24-bit BMP, the two taking turns in one run, and prints both times and
# the ratio tamrel-cli / cp (the target is 1.2 or less). Builds nothing. Times
# are wall-clock, best of RUNS and the median; tamrel-cli's include the flush
# to the device that its safe write makes before replacing the output (cp
# makes none).
#
# Usage: bench/cli/apply_vs_cp.sh [path/to/tamrel-cli] [runs]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
cli="${1:-$root/build/default/cli/tamrel-cli}"
runs="${2:-5}"
width=8000
height=6000

if [ ! -x "$cli" ]; then
  echo "tamrel-cli not found at $cli (build it first)" >&2
  exit 1
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/tamrel-bench-XXXXXX")"
trap 'rm -rf "$work"' EXIT

source "$here/timing.sh"

python3 "$here/make_bmp.py" "$work/in.bmp" "$width" "$height"


sync
tamrel_all=()
cp_all=()
for _ in $(seq "$runs"); do
  cp_all+=("$(time_of cp "$work/in.bmp" "$work/copy.bmp")")
  tamrel_all+=("$(time_of "$cli" apply --defaults "$work/in.bmp" "$work/tamrel.bmp")")
done

tamrel_best=$(min_of "${tamrel_all[@]}")
cp_best=$(min_of "${cp_all[@]}")
tamrel_median=$(median_of "${tamrel_all[@]}")
cp_median=$(median_of "${cp_all[@]}")
printf 'image:       %d x %d, 24-bit BMP (%s bytes)\n' "$width" "$height" \
  "$(stat -c %s "$work/in.bmp")"
printf 'cp:          best %.3f s, median %.3f s (%d runs)\n' "$cp_best" "$cp_median" "$runs"
printf 'tamrel-cli:  best %.3f s, median %.3f s (apply --defaults, BMP out)\n' "$tamrel_best" \
  "$tamrel_median"
printf 'ratio:       best %sx, median %sx (tamrel-cli / cp)\n' "$(ratio "$tamrel_best" "$cp_best")" \
  "$(ratio "$tamrel_median" "$cp_median")"
