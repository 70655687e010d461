#!/usr/bin/env bash
# The README's pictures of a roll: a simulated 35 mm strip of six frames
# (bench/measure/strip_scan) as the window shows a linear scan, through the
# start-up curve, with the frames `tamrel-cli roll` found drawn on it; and
# the six positives roll wrote, side by side.
# Usage: scripts/roll-pictures.sh [BUILD] [STRIP.png] [POSITIVES.png]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/default}")
strip_png=$(realpath -m "${2:-docs/roll-strip.png}")
positives_png=$(realpath -m "${3:-docs/roll-positives.png}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

dpi=150
"$build/bench/measure/strip_scan" "$work/strip.pnm" 35 across colour "$dpi" 6 > /dev/null
"$build/cli/tamrel-cli" roll --defaults "$work/roll" "$work/strip.pnm" --format png
"$build/cli/tamrel-cli" apply --defaults "$work/strip.pnm" "$work/strip.png"

# Each frame of frames.txt ("STRIP NN L,T,W,H") as a rectangle on its edge.
edges=() numbers=()
while read -r _ number rect; do
  IFS=, read -r left top width height <<< "$rect"
  edges+=(-draw "rectangle $left,$top $((left + width - 1)),$((top + height - 1))")
  numbers+=(-draw "text $((left + 6)),$((top + 22)) '$number'")
done < "$work/roll/frames.txt"
convert "$work/strip.png" -fill none -stroke "#30B0FF" -strokewidth 2 "${edges[@]}" \
  -font /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf -fill "#30B0FF" -stroke none \
  -pointsize 18 "${numbers[@]}" -depth 8 "$strip_png"
montage "$work"/roll/0?.png -tile 6x1 -geometry +4+4 -background white -depth 8 "$positives_png"
echo "$strip_png $positives_png"
