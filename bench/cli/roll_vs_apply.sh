#!/usr/bin/env bash
# Times `tamrel-cli roll` of a strip against `tamrel-cli apply` of the same
# strip to the same format (16-bit TIFF, plain and with Deflate), on a
# simulated 35 mm strip of six frames at DPI (1200 by default; target: roll
# at most 2 x apply), best of RUNS each; then once each on the same strip at
# 4000 dpi (about 37,000 x 6,300 pixels, 16 bits, 1.4 GB), with the peak
# resident memory GNU time reports, which the bands bound rather than the
# strip. The strips are made by bench/measure/strip_scan in a scratch folder
# and removed at the end; nothing is kept.
#
# roll reads the strip twice (its film, then its frames' outputs) and writes
# six frames of about half the strip's pixels; apply reads it once and
# writes all of it. Both flush every file to the disk before it takes its
# name.
#
# Usage: bench/cli/roll_vs_apply.sh [path/to/tamrel-cli] [path/to/strip_scan] [runs] [dpi]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
cli="${1:-$root/build/default/cli/tamrel-cli}"
strip_scan="${2:-$root/build/default/bench/measure/strip_scan}"
runs="${3:-3}"
dpi="${4:-1200}"
big_dpi=4000
# Pixels each way that share one sample of the simulated scene (grain and
# edges stay per pixel): the 4000-dpi strip is made in well under a minute.
detail=8

work="$(mktemp -d "${TMPDIR:-/tmp}/tamrel-roll-XXXXXX")"
trap 'rm -rf "$work"' EXIT
source "$here/timing.sh"

# Best wall-clock seconds of $runs runs of roll into a fresh folder.
best_roll() {
  local times=()
  for _ in $(seq "$runs"); do
    rm -rf "$work/roll"
    sync
    times+=("$(time_of "$cli" roll --defaults "$work/roll" "$work/strip.pnm" "$@")")
  done
  printf '%.3f' "$(min_of "${times[@]}")"
}

# Wall-clock seconds and peak resident megabytes of one run, GNU time's.
peak() {
  /usr/bin/time -v "$@" 2>&1 >/dev/null |
    awk -F': ' '/Elapsed/ { split($2, t, ":"); s = t[1] * 60 + t[2] }
                /Maximum resident/ { m = $2 / 1024 }
                END { printf "%.2f s, %.0f MB peak", s, m }'
}

"$strip_scan" "$work/strip.pnm" 35 across colour "$dpi" 6 > /dev/null
size=$(head -c 40 "$work/strip.pnm" | sed -n 2p)
for compress in "" "--compress"; do
  app=$(best "$work/apply.tif" "$cli" apply --defaults $compress "$work/strip.pnm" "$work/apply.tif")
  rol=$(best_roll $compress)
  echo "$dpi dpi strip ($size, $(mb "$work/strip.pnm")), TIFF ${compress:-plain}:" \
    "roll $rol s, apply $app s (roll / apply x$(ratio "$rol" "$app"))"
done

rm -f "$work/strip.pnm" "$work/apply.tif"
rm -rf "$work/roll"
"$strip_scan" "$work/strip.pnm" 35 across colour "$big_dpi" 6 "$detail" > /dev/null
size=$(head -c 40 "$work/strip.pnm" | sed -n 2p)
sync
echo "$big_dpi dpi strip ($size, $(mb "$work/strip.pnm")):" \
  "apply $(peak "$cli" apply --defaults "$work/strip.pnm" "$work/apply.tif")"
rm -f "$work/apply.tif"
sync
echo "$big_dpi dpi strip ($size): roll $(peak "$cli" roll --defaults "$work/roll" "$work/strip.pnm")," \
  "frames $(mb "$work"/roll/*.tif)"
