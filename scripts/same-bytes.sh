#!/usr/bin/env bash
# The programs as packaged (GCC, optimised) against the same programs built
# under the sanitizers: one tool session run by both on the same inputs
# (third-party PNG, TIFF, BMP and JPEG files, and the SANE test device's
# pages) must write the same bytes into every file and print the same text.
# The suite's expectations are checked in the sanitizer build; this shows
# that the optimised build gives what was checked there.
# Usage: scripts/same-bytes.sh PACKAGED_BUILD SANITIZER_BUILD
set -euo pipefail
# Dates in TIFF and PDF files come from here, not the clock.
export SOURCE_DATE_EPOCH=86400
root="$(cd "$(dirname "$0")/.." && pwd)"
shared="$root/../shared"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

inputs=(
  "$shared/pngsuite/pngsuite/basn2c16.png"
  "$shared/pngsuite/pngsuite/basn0g08.png"
  "$shared/tiffsuite/minisblack-1c-16b.tiff"
  "$shared/tiffsuite/rgb-3c-16b.tiff"
  "$shared/bmpsuite/g/rgb24.bmp"
  "$root/fuzz/corpus/jpeg/baseline-420.jpg"
)

# session CLI FOLDER: the commands, each output into FOLDER, what they print
# into FOLDER/printed.txt.
session() {
  local cli="$1" out="$2" present=() input
  mkdir -p "$out/pages"
  for input in "${inputs[@]}"; do
    [ -f "$input" ] && present+=("$input")
  done
  {
    "$cli" table --defaults
    "$cli" sane --defaults
    "$cli" cube --defaults "$out/tables.cube"
    "$cli" export --defaults "$out/tables.tvk"
    "$cli" auto --defaults "${present[0]}" "$out/auto.tvp"
    "$cli" apply "$out/auto.tvp" -o "$out/pages" --png "${present[@]}"
    local ext
    for ext in bmp pnm png tif jpg pdf; do
      "$cli" apply "$out/auto.tvp" "${present[2]}" "$out/one.$ext"
    done
    "$cli" apply "$out/auto.tvp" --compress lzw "${present[3]}" "$out/lzw.tif"
    "$cli" apply "$out/auto.tvp" --quality 70 "${present[@]}" "$out/all.pdf"
    for ext in png tif; do
      SANE_CONFIG_DIR="$root/tests/sane" ASAN_OPTIONS=detect_leaks=0 \
        "$cli" scan --defaults "$out/scan.$ext" --device test:0 --depth 16
    done
  } >"$out/printed.txt" 2>&1
}

session "$1/cli/tamrel-cli" "$work/packaged"
session "$2/cli/tamrel-cli" "$work/sanitized"
if ! diff -r "$work/packaged" "$work/sanitized"; then
  echo "same-bytes: the packaged programs wrote otherwise than the sanitized ones (above)" >&2
  exit 1
fi
echo "same bytes: $(find "$work/packaged" -type f | wc -l) files alike"
