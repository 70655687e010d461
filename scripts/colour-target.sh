#!/usr/bin/env bash
# Renders a colour target as a scanner at gamma 1.0 would deliver it: a grey
# ramp of twelve steps and eighteen colour patches of known sRGB values,
# stored as linear light in a 16-bit PNM (what `tamrel-cli scan --linear`
# gives). Through tables that encode linear light the window shows the
# target as the sRGB values below; without them it looks dark and flat.
# Usage: scripts/colour-target.sh OUT.pnm
set -euo pipefail
out=${1:-target.pnm}

# The patches' sRGB values (0..255), three rows of six: primaries and
# secondaries, pastels and mid tones, then light and dark skin, sky, foliage
# and wood.
patches=(
  "220 40 40" "40 180 60" "40 70 210" "40 200 210" "210 50 190" "235 215 40"
  "245 150 60" "120 60 170" "170 210 110" "90 150 230" "200 110 120" "60 120 110"
  "240 200 170" "200 150 120" "140 95 70" "110 160 220" "100 130 60" "160 120 80"
)

# sRGB level v (0..255) to linear light on 0..65535:
# v/255 <= 0.04045: (v/255)/12.92, else ((v/255 + 0.055)/1.055)^2.4.
linear() {
  awk -v v="$1" 'BEGIN {
    c = v / 255
    l = (c <= 0.04045) ? c / 12.92 : exp(2.4 * log((c + 0.055) / 1.055))
    printf "%d", l * 65535 + 0.5
  }'
}

fill() { # R G B (sRGB levels): an ImageMagick fill of their linear values
  printf 'rgb(%s,%s,%s)' \
    "$(awk -v l="$(linear "$1")" 'BEGIN { printf "%.4f%%", l / 655.35 }')" \
    "$(awk -v l="$(linear "$2")" 'BEGIN { printf "%.4f%%", l / 655.35 }')" \
    "$(awk -v l="$(linear "$3")" 'BEGIN { printf "%.4f%%", l / 655.35 }')"
}

width=456
height=400
draw=()
# The grey ramp: twelve steps from black to white, 38 pixels each.
for step in $(seq 0 11); do
  level=$((step * 255 / 11))
  x0=$((step * 38))
  draw+=(-fill "$(fill $level $level $level)" -draw "rectangle $x0,20 $((x0 + 37)),100")
done
# The patches: 64 x 80 with 10-pixel gaps, below the ramp.
for i in "${!patches[@]}"; do
  read -r r g b <<<"${patches[$i]}"
  x0=$((11 + (i % 6) * 74))
  y0=$((120 + (i / 6) * 90))
  draw+=(-fill "$(fill "$r" "$g" "$b")" -draw "rectangle $x0,$y0 $((x0 + 63)),$((y0 + 79))")
done
convert -size ${width}x${height} -depth 16 "xc:$(fill 40 40 40)" "${draw[@]}" \
  -depth 16 "ppm:$out"
echo "$out"
