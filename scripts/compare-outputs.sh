#!/usr/bin/env bash
# Runs two builds of tamrel-cli over the same generated set and compares
# every output byte for byte: `apply` of every image of the shared BMP, PNG
# and TIFF suites and of scans in every format, depth and mode to BMP, PNM,
# PNG and TIFF (plain and compressed), and `scan` of SANE's test device to
# every format. Failures must match too: the same exit status and message.
# A TIFF's DateTime is the time of writing, so it is blanked before the
# comparison. Prints each difference and exits 1 if there is any.
#
# Usage: scripts/compare-outputs.sh OLD/tamrel-cli NEW/tamrel-cli [SUITES]
# SUITES is the folder holding bmpsuite, pngsuite and tiffsuite (default
# ../shared beside the checkout).
set -euo pipefail

old="$(realpath "$1")"
new="$(realpath "$2")"
root="$(cd "$(dirname "$0")/.." && pwd)"
suites="${3:-$root/../shared}"

work="$(mktemp -d "${TMPDIR:-/tmp}/tamrel-compare-XXXXXX")"
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/sane" "$work/in" "$work/old" "$work/new"
printf 'test\n' >"$work/sane/dll.conf"
printf 'number_of_devices 1\n' >"$work/sane/test.conf"
export SANE_CONFIG_DIR="$work/sane"

# run SIDE NAME ARGS...: one command of one build, its output file renamed
# NAME in the side's folder, its status and message kept beside it.
run() {
  local side="$1" name="$2" cli
  shift 2
  cli="$old"
  [ "$side" = new ] && cli="$new"
  local status=0
  (cd "$work/$side" && "$cli" "$@" >"$name.out" 2>"$name.err") || status=$?
  echo "$status" >"$work/$side/$name.status"
}

both() {
  run old "$@"
  run new "$@"
}

# Test-device scans as inputs, from the new build (the same bytes for both).
picture=(--option 'test-picture=Color pattern' --resolution 75)
for mode in Color Gray; do
  for depth in 8 16; do
    for ext in ppm png tif; do
      name="scan-$mode-$depth.$ext"
      [ "$mode" = Gray ] && [ "$ext" = ppm ] && name="scan-$mode-$depth.pgm"
      "$new" scan --linear "$work/in/$name" --device test "${picture[@]}" \
        --mode "$mode" --depth "$depth" 2>/dev/null
    done
  done
done
"$new" scan --linear "$work/in/scan-Color-8.bmp" --device test "${picture[@]}" 2>/dev/null

inputs=("$work"/in/*)
for dir in bmpsuite/g bmpsuite/q bmpsuite/b pngsuite tiffsuite; do
  [ -d "$suites/$dir" ] || continue
  while IFS= read -r -d '' file; do
    inputs+=("$file")
  done < <(find "$suites/$dir" -type f \( -iname '*.bmp' -o -iname '*.png' \
    -o -iname '*.tif' -o -iname '*.tiff' -o -iname '*.pnm' -o -iname '*.ppm' -o -iname '*.pgm' \) \
    -print0)
done

n=0
for input in "${inputs[@]}"; do
  n=$((n + 1))
  for out in bmp ppm png tif; do
    both "apply-$n.$out" apply --defaults "$input" "apply-$n.$out"
  done
  both "deflate-$n.tif" apply --defaults --compress "$input" "deflate-$n.tif"
  both "lzw-$n.tif" apply --defaults --compress lzw "$input" "lzw-$n.tif"
done

# Scans straight to every format, linear and through the tables.
for mode in Color Gray; do
  for depth in 8 16; do
    for ext in pnm pgm png tif bmp; do
      for curves in --linear --defaults; do
        name="scan$curves-$mode-$depth.$ext"
        both "$name" scan "$curves" "$name" --device test "${picture[@]}" --mode "$mode" \
          --depth "$depth"
      done
    done
  done
done
both "scan-deflate.tif" scan --defaults scan-deflate.tif --device test "${picture[@]}" --compress

blank_dates() {
  python3 -c '
import re, sys
data = open(sys.argv[1], "rb").read()
sys.stdout.buffer.write(re.sub(rb"\d{4}:\d\d:\d\d \d\d:\d\d:\d\d", b"0000:00:00 00:00:00", data))
' "$1"
}

differ=0
compared=0
for file in "$work"/old/*; do
  name="$(basename "$file")"
  other="$work/new/$name"
  compared=$((compared + 1))
  if [ ! -e "$other" ]; then
    echo "only the old build wrote $name"
    differ=1
  elif ! cmp -s <(blank_dates "$file") <(blank_dates "$other"); then
    echo "differs: $name"
    differ=1
  fi
done
for file in "$work"/new/*; do
  [ -e "$work/old/$(basename "$file")" ] || { echo "only the new build wrote $(basename "$file")"; differ=1; }
done
echo "$compared files compared over ${#inputs[@]} inputs"
exit "$differ"
