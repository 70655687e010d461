#!/usr/bin/env bash
# Renders a colour negative of the colour target (scripts/colour-target.sh)
# as a scanner at gamma 1.0 delivers it: each channel's light E of the scene
# through the film's transmission T = b * ((E + f) / f)^(-gamma), with the
# orange mask of a colour negative (b) and the contrast of each layer
# (gamma), inside a border of unexposed film (T = b) as a frame has. Stored
# as a 16-bit PNM. Usage: scripts/film-negative.sh OUT.pnm
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-negative.pnm}")
target=$(mktemp --suffix=.pnm)
trap 'rm -f "$target"' EXIT
scripts/colour-target.sh "$target" >/dev/null

fog=0.01                         # f: where the film starts to respond
base=(0.72 0.46 0.27)            # b for red, green and blue: the orange mask
gamma=(0.55 0.60 0.66)           # each layer's contrast
border=24                        # pixels of unexposed film around the frame

transmission() { # BASE GAMMA: the -fx expression of one channel
  printf '%s*pow((u+%s)/%s,-%s)' "$1" "$fog" "$fog" "$2"
}
convert "$target" \
  -channel R -fx "$(transmission "${base[0]}" "${gamma[0]}")" \
  -channel G -fx "$(transmission "${base[1]}" "${gamma[1]}")" \
  -channel B -fx "$(transmission "${base[2]}" "${gamma[2]}")" +channel \
  -bordercolor "rgb($(awk -v r="${base[0]}" -v g="${base[1]}" -v b="${base[2]}" \
    'BEGIN { printf "%.4f%%,%.4f%%,%.4f%%", r * 100, g * 100, b * 100 }'))" \
  -border "$border" -depth 16 "ppm:$out"
echo "$out"
