#!/usr/bin/env bash
# Times `tamrel-cli apply` (BMP in, BMP out) against ImageMagick doing the same
# per-channel table lookup (-clut with a 256x1 image of the same tables) on an
# 8000 x 6000 24-bit BMP, checks that both give the same pixels, and prints
# both times and their ratio. Builds nothing. Times are wall-clock, best of
# RUNS and their median; tamrel-cli's include the flush to the device that its
# safe write makes before replacing the output (ImageMagick makes none).
#
# Usage: bench/cli/apply_vs_imagemagick.sh [path/to/tamrel-cli] [runs]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
cli="${1:-$root/build/default/cli/tamrel-cli}"
runs="${2:-3}"
width=8000
height=6000

# /usr/local/bin/convert may be a stand-in on some machines; take Debian's.
convert_bin=/usr/bin/convert
if [ ! -x "$convert_bin" ]; then
  echo "ImageMagick not found at $convert_bin (scripts/setup.sh installs it)" >&2
  exit 1
fi
if [ ! -x "$cli" ]; then
  echo "tamrel-cli not found at $cli (build it first)" >&2
  exit 1
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/tamrel-bench-XXXXXX")"
trap 'rm -rf "$work"' EXIT

source "$here/timing.sh"

python3 "$here/make_bmp.py" "$work/in.bmp" "$width" "$height"

# The same tables as a 256x1 RGB image: pixel i holds red, green, blue of level i.
{
  echo "P3 256 1 255"
  "$cli" table --defaults | awk '{ print $2, $3, $4 }'
} > "$work/clut.ppm"

# Nothing of the generated input is still on its way to the disk, and the two
# programs take turns, so background writeback and other load hit both alike.
sync
tamrel_all=()
magick_all=()
for _ in $(seq "$runs"); do
  t=$(time_of "$cli" apply --defaults "$work/in.bmp" "$work/tamrel.bmp")
  tamrel_all+=("$t")
  t=$(time_of "$convert_bin" "$work/in.bmp" "$work/clut.ppm" \
    -interpolate integer -clut "BMP3:$work/magick.bmp")
  magick_all+=("$t")
done
# The first run of each writes a new file, the others replace the previous
# output, which also frees the old file's blocks: the median shows that case.
tamrel_s=$(min_of "${tamrel_all[@]}")
magick_s=$(min_of "${magick_all[@]}")
tamrel_median=$(median_of "${tamrel_all[@]}")
magick_median=$(median_of "${magick_all[@]}")

# Both are 24-bit bottom-up files with a 54-byte header: the rows must agree.
if cmp -s -i 54 "$work/tamrel.bmp" "$work/magick.bmp"; then
  same="yes"
else
  same="NO"
fi

printf 'image:          %d x %d, 24-bit BMP (%s bytes)\n' "$width" "$height" \
  "$(stat -c %s "$work/in.bmp")"
printf 'tamrel-cli:     %.3f s  (apply --defaults, BMP out; best of %d)\n' "$tamrel_s" "$runs"
printf 'ImageMagick:    %.3f s  (convert ... -clut, BMP3 out; best of %d)\n' "$magick_s" "$runs"
printf 'ratio:          %.1fx\n' "$(awk -v m="$magick_s" -v t="$tamrel_s" 'BEGIN { print m / t }')"
printf 'medians:        tamrel-cli %.3f s, ImageMagick %.3f s, ratio %.1fx\n' "$tamrel_median" \
  "$magick_median" "$(awk -v m="$magick_median" -v t="$tamrel_median" 'BEGIN { print m / t }')"
printf 'same pixels:    %s\n' "$same"
