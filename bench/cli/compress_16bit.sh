#!/usr/bin/env bash
# Times compressed output of `tamrel-cli apply` on an 8000 x 6000 16-bit RGB
# scan whose low byte is noise over a smooth picture (288 MB of samples, as
# a linear scanner's shadows look): TIFF with Deflate (and LZW) against
# `vips maplut` writing TIFF with Deflate and the horizontal predictor, and
# PNG -> PNG against vips's PNG, the same 65536-entry curves on both sides.
# Prints each time (best of RUNS), the ratios and the file sizes (targets:
# apply --compress <= 1/5 of vips' Deflate time at no larger a file; PNG
# at least 3 times faster than vips). Pixels are checked identical.
#
# Usage: bench/cli/compress_16bit.sh [path/to/tamrel-cli] [runs]
# WIDTH and HEIGHT in the environment give another size.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
cli="${1:-$root/build/default/cli/tamrel-cli}"
runs="${2:-1}"
width="${WIDTH:-8000}"
height="${HEIGHT:-6000}"

work="$(mktemp -d "${TMPDIR:-/tmp}/tamrel-compress-XXXXXX")"
trap 'rm -rf "$work"' EXIT

# High bytes: a slow diagonal ramp, different on each channel; low bytes:
# random. PNM stores the high byte first.
python3 - "$work/in.pnm" "$width" "$height" <<'PY'
import os, sys
path, w, h = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
with open(path, "wb") as f:
    f.write(b"P6\n%d %d\n65535\n" % (w, h))
    row = bytearray(w * 6)
    for y in range(h):
        high = bytes(((x + y) * 255 // (w + h) + 40 * c) % 256 for x in range(0, w) for c in range(3)) \
            if y % 64 == 0 else high
        row[0::2] = high
        row[1::2] = os.urandom(w * 3)
        f.write(row)
PY
source "$here/timing.sh"
vips_lut "$cli" "$work"
"$cli" apply --defaults "$work/in.pnm" "$work/in.png"

app_deflate=$(best "$work/deflate.tif" "$cli" apply --defaults --compress "$work/in.pnm" "$work/deflate.tif")
app_lzw=$(best "$work/lzw.tif" "$cli" apply --defaults --compress lzw "$work/in.pnm" "$work/lzw.tif")
app_plain=$(best "$work/plain.tif" "$cli" apply --defaults "$work/in.pnm" "$work/plain.tif")
vips_deflate=$(best "$work/vips.tif" vips maplut "$work/in.pnm" \
  "$work/vips.tif[compression=deflate,predictor=horizontal]" "$work/lut.v")
app_png=$(best "$work/out.png" "$cli" apply --defaults "$work/in.png" "$work/out.png")
vips_png=$(best "$work/vips.png" vips maplut "$work/in.png" "$work/vips.png" "$work/lut.v")

echo "TIFF Deflate: apply --compress $app_deflate s, $(mb "$work/deflate.tif"); vips $vips_deflate s, $(mb "$work/vips.tif") (apply / vips x$(ratio "$app_deflate" "$vips_deflate")); pixels $(same "$work/deflate.tif" "$work/vips.tif")"
echo "TIFF LZW: apply --compress lzw $app_lzw s, $(mb "$work/lzw.tif"); uncompressed apply $app_plain s, $(mb "$work/plain.tif")"
echo "PNG 16 -> PNG 16: apply $app_png s, $(mb "$work/out.png"); vips $vips_png s, $(mb "$work/vips.png") (vips / apply x$(ratio "$vips_png" "$app_png")); pixels $(same "$work/out.png" "$work/vips.png")"
