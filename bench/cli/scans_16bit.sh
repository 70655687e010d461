#!/usr/bin/env bash
# Times `tamrel-cli apply` on 8000 x 6000 16-bit RGB scans: PNM -> PNM and
# uncompressed TIFF -> TIFF against `cp` of the input, and PNG -> PNG and
# PNM -> PNM against `vips maplut` with the same 65536-entry curves (pixels
# checked identical). Prints each time, best of RUNS, and the ratios
# (targets: apply / cp <= 1.5; vips / apply >= 2 for PNG).
#
# apply replaces its output safely: the new file reaches the disk before it
# takes the old one's name. cp and vips only hand their bytes to the page
# cache, so `cp` followed by a flush of the copy is timed too, as the like
# for like figure. Every command writes a file that did not exist.
#
# Usage: bench/cli/scans_16bit.sh [path/to/tamrel-cli] [runs]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
cli="${1:-$root/build/default/cli/tamrel-cli}"
runs="${2:-3}"
width=8000
height=6000

work="$(mktemp -d "${TMPDIR:-/tmp}/tamrel-scans-XXXXXX")"
trap 'rm -rf "$work"' EXIT

# A scan-like input: random samples (incompressible, the worst case for PNG).
python3 - "$work/in.pnm" "$width" "$height" <<'PY'
import os, sys
path, w, h = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
with open(path, "wb") as f:
    f.write(b"P6\n%d %d\n65535\n" % (w, h))
    row = w * 6
    block = os.urandom(row * 64)
    for y in range(0, h, 64):
        f.write(block[: row * min(64, h - y)])
PY
source "$here/timing.sh"
vips_lut "$cli" "$work"
# Identity tables turn the PNM into equal TIFF and PNG inputs.
"$cli" apply --defaults "$work/in.pnm" "$work/in.tif" # content is irrelevant to the timing
"$cli" apply --defaults "$work/in.pnm" "$work/in.png"

flushed_copy() { cp "$1" "$2" && sync "$2"; }
cp_pnm=$(best "$work/cp.pnm" cp "$work/in.pnm" "$work/cp.pnm")
cps_pnm=$(best "$work/cp.pnm" flushed_copy "$work/in.pnm" "$work/cp.pnm")
app_pnm=$(best "$work/out.pnm" "$cli" apply --defaults "$work/in.pnm" "$work/out.pnm")
vips_pnm=$(best "$work/vips.ppm" vips maplut "$work/in.pnm" "$work/vips.ppm" "$work/lut.v")
cp_tif=$(best "$work/cp.tif" cp "$work/in.tif" "$work/cp.tif")
cps_tif=$(best "$work/cp.tif" flushed_copy "$work/in.tif" "$work/cp.tif")
app_tif=$(best "$work/out.tif" "$cli" apply --defaults "$work/in.tif" "$work/out.tif")
app_png=$(best "$work/out.png" "$cli" apply --defaults "$work/in.png" "$work/out.png")
vips_png=$(best "$work/vips.png" vips maplut "$work/in.png" "$work/vips.png" "$work/lut.v")

echo "PNM 16 -> PNM 16: apply $app_pnm s, cp $cp_pnm s (x$(ratio "$app_pnm" "$cp_pnm")), cp + flush $cps_pnm s (x$(ratio "$app_pnm" "$cps_pnm")), vips $vips_pnm s (cp x$(ratio "$vips_pnm" "$cp_pnm")); pixels $(same "$work/out.pnm" "$work/vips.ppm")"
echo "TIFF 16 -> TIFF 16: apply $app_tif s, cp $cp_tif s (x$(ratio "$app_tif" "$cp_tif")), cp + flush $cps_tif s (x$(ratio "$app_tif" "$cps_tif"))"
echo "PNG 16 -> PNG 16: apply $app_png s, vips $vips_png s (vips / apply x$(ratio "$vips_png" "$app_png")); pixels $(same "$work/out.png" "$work/vips.png")"
