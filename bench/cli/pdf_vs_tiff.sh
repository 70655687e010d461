#!/usr/bin/env bash
# Times `tamrel-cli apply` making one lossless PDF of ten A4 pages scanned at
# 300 dpi (2480 x 3508, 8-bit RGB: paper with grain and lines of dark marks)
# against the same ten pages written as Deflate-compressed TIFFs
# (`apply --compress -o DIR`), both from the same uncompressed TIFFs and in
# turns. Prints the best and the median time of each over RUNS, their ratio
# (target: PDF <= 1.2 x TIFF) and the sizes, checks the PDF with qpdf
# --check and lists its pages with poppler's pdfimages (every page 300 ppi).
# A PDF of JPEG pages (--quality 92) is timed once beside them.
#
# Usage: bench/cli/pdf_vs_tiff.sh [path/to/tamrel-cli] [runs]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
cli="${1:-$root/build/default/cli/tamrel-cli}"
runs="${2:-5}"
width=2480
height=3508
pages=10

work="$(mktemp -d "${TMPDIR:-/tmp}/tamrel-pdf-XXXXXX")"
trap 'rm -rf "$work"' EXIT
source "$here/timing.sh"

# Paper of level 238 with a grain of 3 levels, its own on each channel;
# where a fine wave passes 0.6 a mark of a fifth of it (the lines of a
# printed page). 300 dpi is 11.811 pixels per millimetre, vips' unit.
vips sines "$work/wave.v" "$width" "$height" --hfreq 300 --vfreq 90
vips relational_const "$work/wave.v" "$work/marks.v" moreeq 0.6
channels=""
for c in r g b; do
  vips gaussnoise "$work/paper$c.v" "$width" "$height" --mean 238 --sigma 3
  vips linear "$work/paper$c.v" "$work/ink$c.v" 0.2 0
  vips ifthenelse "$work/marks.v" "$work/ink$c.v" "$work/paper$c.v" "$work/page$c.v"
  channels="${channels:+$channels }$work/page$c.v"
done
vips bandjoin "$channels" "$work/rgb.v"
vips cast "$work/rgb.v" "$work/c.v" uchar
vips copy "$work/c.v" "$work/p01.tif[compression=none]" --xres 11.811 --yres 11.811
rm -f "$work"/*.v
inputs=("$work/p01.tif")
for n in $(seq 2 "$pages"); do
  name="$work/$(printf 'p%02d.tif' "$n")"
  cp "$work/p01.tif" "$name"
  inputs+=("$name")
done

pdf=()
tif=()
for _ in $(seq "$runs"); do
  rm -rf "$work/out.pdf" "$work/tiffs"
  mkdir "$work/tiffs"
  sync
  pdf+=("$(time_of "$cli" apply --defaults "${inputs[@]}" "$work/out.pdf")")
  sync
  tif+=("$(time_of "$cli" apply --defaults --compress -o "$work/tiffs" "${inputs[@]}")")
done
# Processor time of one more run each.
rm -rf "$work/out.pdf" "$work/tiffs" && mkdir "$work/tiffs"
pdf_cpu=$(cpu_seconds "$cli" apply --defaults "${inputs[@]}" "$work/out.pdf")
tif_cpu=$(cpu_seconds "$cli" apply --defaults --compress -o "$work/tiffs" "${inputs[@]}")
rm -f "$work/jpeg.pdf"
sync
jpeg=$(time_of "$cli" apply --defaults --quality 92 "${inputs[@]}" "$work/jpeg.pdf")

printf '%d A4 pages at 300 dpi: PDF best %.3f s, median %.3f s (%s); TIFF Deflate best %.3f s, median %.3f s (%s)\n' \
  "$pages" "$(min_of "${pdf[@]}")" "$(median_of "${pdf[@]}")" "$(mb "$work/out.pdf")" \
  "$(min_of "${tif[@]}")" "$(median_of "${tif[@]}")" "$(mb "$work"/tiffs/*.tif)"
echo "processor time: PDF $pdf_cpu s, TIFF $tif_cpu s"
echo "PDF / TIFF: best x$(ratio "$(min_of "${pdf[@]}")" "$(min_of "${tif[@]}")"), median x$(ratio "$(median_of "${pdf[@]}")" "$(median_of "${tif[@]}")")"
printf 'PDF of JPEG pages (--quality 92): %.3f s (%s)\n' "$jpeg" "$(mb "$work/jpeg.pdf")"
qpdf --check "$work/out.pdf" | tail -n 2
pdfimages -list "$work/out.pdf" | sed -n '1,4p'
