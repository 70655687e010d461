#!/usr/bin/env bash
# Times `tamrel-cli apply` writing JPEG at quality 92 from an 8000 x 6000
# 8-bit RGB scan (48 megapixels, 144 MB: a smooth picture with grain, as a
# photo scans) against `vips maplut` with the same 256-entry tables writing
# JPEG at Q=92 (vips keeps every chroma sample at Q >= 90, as apply does).
# The two run in turns; prints the best and the median time of each over
# RUNS, their ratio (target: apply <= 0.6 x vips) and the file sizes, and
# checks that both files decode (libjpeg-turbo's djpeg) to the same pixels.
#
# apply's output reaches the disk before it takes its name; vips hands its
# bytes to the page cache only.
#
# Usage: bench/cli/jpeg_vs_vips.sh [path/to/tamrel-cli] [runs]
# WIDTH and HEIGHT in the environment give another size.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
cli="${1:-$root/build/default/cli/tamrel-cli}"
runs="${2:-5}"
width="${WIDTH:-8000}"
height="${HEIGHT:-6000}"

work="$(mktemp -d "${TMPDIR:-/tmp}/tamrel-jpeg-XXXXXX")"
trap 'rm -rf "$work"' EXIT
source "$here/timing.sh"

# A slow wave on each channel (-1..1 scaled to 38..218) with Gaussian grain
# of 6 levels; the second and third channels are the first mirrored.
vips sines "$work/s.v" "$width" "$height" --hfreq 3 --vfreq 2
vips linear "$work/s.v" "$work/a.v" 90 128
vips gaussnoise "$work/n.v" "$width" "$height" --mean 0 --sigma 6
vips add "$work/a.v" "$work/n.v" "$work/sum.v"
vips flip "$work/sum.v" "$work/f.v" horizontal
vips flip "$work/sum.v" "$work/g.v" vertical
vips bandjoin "$work/sum.v $work/f.v $work/g.v" "$work/rgb.v"
vips cast "$work/rgb.v" "$work/c.v" uchar
vips copy "$work/c.v" "$work/in.ppm"
rm -f "$work"/*.v

# The start-up tables at 256 entries as a one-row, three-band vips LUT.
"$cli" table --defaults | awk '{ print $2, $3, $4 }' > "$work/levels.txt"
python3 - "$work/levels.txt" "$work/lut.raw" <<'PY'
import sys
with open(sys.argv[1]) as src, open(sys.argv[2], "wb") as out:
    for line in src:
        out.write(bytes(map(int, line.split())))
PY
vips rawload "$work/lut.raw" "$work/lut.v" 256 1 3

app=()
vip=()
for _ in $(seq "$runs"); do
  rm -f "$work/out.jpg" "$work/vips.jpg"
  sync
  app+=("$(time_of "$cli" apply --defaults "$work/in.ppm" "$work/out.jpg")")
  sync
  vip+=("$(time_of vips maplut "$work/in.ppm" "$work/vips.jpg[Q=92]" "$work/lut.v")")
done
# Processor time of one more run each.
rm -f "$work/out.jpg" "$work/vips.jpg"
app_cpu=$(cpu_seconds "$cli" apply --defaults "$work/in.ppm" "$work/out.jpg")
vips_cpu=$(cpu_seconds vips maplut "$work/in.ppm" "$work/vips.jpg[Q=92]" "$work/lut.v")
djpeg "$work/out.jpg" > "$work/a.ppm"
djpeg "$work/vips.jpg" > "$work/b.ppm"
pixels=$(cmp -s "$work/a.ppm" "$work/b.ppm" && echo identical || echo DIFFERENT)
printf 'JPEG q92, %dx%d: apply best %.3f s, median %.3f s (%s); vips best %.3f s, median %.3f s (%s)\n' \
  "$width" "$height" "$(min_of "${app[@]}")" "$(median_of "${app[@]}")" "$(mb "$work/out.jpg")" \
  "$(min_of "${vip[@]}")" "$(median_of "${vip[@]}")" "$(mb "$work/vips.jpg")"
echo "processor time: apply $app_cpu s, vips $vips_cpu s"
echo "apply / vips: best x$(ratio "$(min_of "${app[@]}")" "$(min_of "${vip[@]}")"), median x$(ratio "$(median_of "${app[@]}")" "$(median_of "${vip[@]}")"); decoded pixels $pixels"
