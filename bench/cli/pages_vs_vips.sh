#!/usr/bin/env bash
# Times `tamrel-cli apply` writing PNG, PDF and Deflate TIFF (--compress)
# from a clean A4 text page at 300 dpi (2480 x 3508: paper, black text
# with smooth edges, a red bar) and from a grainy 48-megapixel photo
# (8000 x 6000: a slow wave with Gaussian grain of 6 levels), each at 8 and
# 16 bits (16: the 8-bit samples times 257, with grain of 200 levels on the
# photo), against `vips maplut` with the same tables writing PNG and Deflate
# TIFF with the horizontal predictor (vips' defaults: zlib level 6, no PNG
# filter). apply and vips run in turns; prints the best and the median time
# of each over RUNS, their ratios and the sizes, and checks that apply's
# PNG and vips' PNG hold the same pixels. Targets: on the clean page no
# bigger than vips' files in at most half of vips' time; on the photo TIFF
# within 1/5 of vips' time and 16-bit PNG within 1/3.
#
# Usage: bench/cli/pages_vs_vips.sh [path/to/tamrel-cli] [runs]
# ONLY=clean or ONLY=grain in the environment runs one picture.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
cli="${1:-$root/build/default/cli/tamrel-cli}"
runs="${2:-5}"
only="${ONLY:-}"

work="$(mktemp -d "${TMPDIR:-/tmp}/tamrel-pages-XXXXXX")"
trap 'rm -rf "$work"' EXIT
source "$here/timing.sh"

# The clean page: text set by vips (Pango) at 11 points and 300 dpi.
make_clean() {
  python3 - "$work/text.txt" <<'PY'
import random, sys
random.seed(7)
words = ("the scanner gamma table curve black white alpha level page film negative "
         "profile colour light density grey patch chart document feeder batch").split()
paras = [" ".join(random.choice(words) for _ in range(random.randint(60, 100))).capitalize() + "."
         for _ in range(8)]
open(sys.argv[1], "w").write("\n\n".join(paras))
PY
  vips text "$work/t.v" "$(cat "$work/text.txt")" --width 2080 --dpi 300 --font "DejaVu Serif 11"
  vips invert "$work/t.v" "$work/i.v"
  vips embed "$work/i.v" "$work/p.v" 200 250 2480 3508 --extend white
  vips bandjoin "$work/p.v $work/p.v $work/p.v" "$work/g.v"
  vips black "$work/b.v" 2080 120 --bands 3
  vips linear "$work/b.v" "$work/r.v" "1 1 1" "200 40 30"
  vips cast "$work/r.v" "$work/r8.v" uchar
  vips insert "$work/g.v" "$work/r8.v" "$work/c.v" 200 80
  vips copy "$work/c.v" "$work/clean8.ppm" --interpretation srgb
  rm -f "$work"/*.v
}

# The photo, as bench/cli/jpeg_vs_vips.sh makes it.
make_grain() {
  vips sines "$work/s.v" 8000 6000 --hfreq 3 --vfreq 2
  vips linear "$work/s.v" "$work/a.v" 90 128
  vips gaussnoise "$work/n.v" 8000 6000 --mean 0 --sigma 6
  vips add "$work/a.v" "$work/n.v" "$work/sum.v"
  vips flip "$work/sum.v" "$work/f.v" horizontal
  vips flip "$work/sum.v" "$work/g.v" vertical
  vips bandjoin "$work/sum.v $work/f.v $work/g.v" "$work/rgb.v"
  vips cast "$work/rgb.v" "$work/c.v" uchar
  vips copy "$work/c.v" "$work/grain8.ppm"
  rm -f "$work"/*.v
}

# The 16-bit twin of an 8-bit picture: samples times 257, plus grain.
make_wide() {
  vips linear "$work/$1.ppm" "$work/w.v" 257 0
  vips gaussnoise "$work/n.v" "$(vipsheader -f width "$work/$1.ppm")" \
    "$(vipsheader -f height "$work/$1.ppm")" --mean 0 --sigma "$3"
  vips add "$work/w.v" "$work/n.v" "$work/s.v"
  vips cast "$work/s.v" "$work/c.v" ushort
  vips copy "$work/c.v" "$work/$2.ppm"
  rm -f "$work"/*.v
}

# The start-up tables as vips LUTs, in a folder of their own: 256 entries
# (lut8.v) and 65536 (lut.v).
luts="$work/luts"
mkdir "$luts"
"$cli" table --defaults | awk '{ print $2, $3, $4 }' > "$luts/levels.txt"
python3 - "$luts/levels.txt" "$luts/lut8.raw" <<'PY'
import sys
with open(sys.argv[1]) as src, open(sys.argv[2], "wb") as out:
    for line in src:
        out.write(bytes(map(int, line.split())))
PY
vips rawload "$luts/lut8.raw" "$luts/lut8.v" 256 1 3
vips_lut "$cli" "$luts"

# One picture: apply and vips in turns, RUNS times.
compare() {
  local name="$1" lut="$2" in="$work/$1.ppm"
  local png=() pdf=() tif=() vpng=() vtif=()
  for _ in $(seq "$runs"); do
    rm -f "$work"/out.* "$work"/vips.*
    sync
    png+=("$(time_of "$cli" apply --defaults "$in" "$work/out.png")")
    vpng+=("$(time_of vips maplut "$in" "$work/vips.png" "$lut")")
    pdf+=("$(time_of "$cli" apply --defaults "$in" "$work/out.pdf")")
    tif+=("$(time_of "$cli" apply --defaults --compress "$in" "$work/out.tif")")
    vtif+=("$(time_of vips maplut "$in" "$work/vips.tif[compression=deflate,predictor=horizontal]" "$lut")")
  done
  report "$name PNG" "${png[*]}" "$work/out.png" "${vpng[*]}" "$work/vips.png"
  report "$name PDF" "${pdf[*]}" "$work/out.pdf" "${vpng[*]}" "$work/vips.png"
  report "$name TIFF" "${tif[*]}" "$work/out.tif" "${vtif[*]}" "$work/vips.tif"
  echo "$name: PNG pixels $(same "$work/out.png" "$work/vips.png"); $(qpdf --check "$work/out.pdf" | tail -n 1)"
}

# NAME "apply times" FILE "vips times" VIPS-FILE
report() {
  local a b
  read -ra a <<< "$2"
  read -ra b <<< "$4"
  printf '%-12s apply best %.3f s, median %.3f s, %s | vips best %.3f s, median %.3f s, %s | time x%s (median x%s), size x%s\n' \
    "$1" "$(min_of "${a[@]}")" "$(median_of "${a[@]}")" "$(mb "$3")" \
    "$(min_of "${b[@]}")" "$(median_of "${b[@]}")" "$(mb "$5")" \
    "$(ratio "$(min_of "${a[@]}")" "$(min_of "${b[@]}")")" \
    "$(ratio "$(median_of "${a[@]}")" "$(median_of "${b[@]}")")" \
    "$(ratio "$(stat -c %s "$3")" "$(stat -c %s "$5")")"
}

if [ "$only" != grain ]; then
  make_clean
  make_wide clean8 clean16 0
  compare clean8 "$luts/lut8.v"
  compare clean16 "$luts/lut.v"
  rm -f "$work"/clean*.ppm
fi
if [ "$only" != clean ]; then
  make_grain
  compare grain8 "$luts/lut8.v"
  make_wide grain8 grain16 200
  rm -f "$work/grain8.ppm"
  compare grain16 "$luts/lut.v"
fi
