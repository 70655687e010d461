#!/usr/bin/env bash
# Sizes and times of a feeder batch from SANE's test device (ten pages,
# 80 x 100 mm at 300 dpi, linear) made into one PDF by `tamrel-cli scan
# --batch` against img2pdf of the same pages scanned to PNM: a grey batch
# (the device's grid) and a colour one (its colour pattern), each once
# more with --profile (the profile should be stored once, not once a page).
# Prints the best and the median time of RUNS, the sizes and their ratio
# (target: the grey batch no bigger than img2pdf's), checks each PDF with
# qpdf --check and lists its first pages with pdfimages -list.
#
# Usage: bench/cli/batch_vs_img2pdf.sh [path/to/tamrel-cli] [runs]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
cli="${1:-$root/build/default/cli/tamrel-cli}"
runs="${2:-3}"
export SANE_CONFIG_DIR="$root/tests/sane"

work="$(mktemp -d "${TMPDIR:-/tmp}/tamrel-batch-XXXXXX")"
trap 'rm -rf "$work"' EXIT
source "$here/timing.sh"

feeder=(--source "Automatic Document Feeder" --resolution 300)

batch() { # MODE PICTURE NAME
  local mode="$1" picture="$2" name="$3" ours=() theirs=()
  for _ in $(seq "$runs"); do
    rm -rf "$work/$name.pdf" "$work/$name-img2pdf.pdf" "$work/$name"
    mkdir "$work/$name"
    ours+=("$(time_of "$cli" scan --linear "$work/$name.pdf" --batch "${feeder[@]}" \
      --mode "$mode" --option "test-picture=$picture")")
    "$cli" scan --linear "$work/$name/p%02d.pnm" --batch "${feeder[@]}" --mode "$mode" \
      --option "test-picture=$picture" > /dev/null
    theirs+=("$(time_of img2pdf --output "$work/$name-img2pdf.pdf" "$work/$name"/p*.pnm)")
  done
  printf '%-14s scan --batch to PDF best %.3f s, median %.3f s, %s | img2pdf of the PNM pages best %.3f s, median %.3f s, %s | size x%s\n' \
    "$name" "$(min_of "${ours[@]}")" "$(median_of "${ours[@]}")" "$(mb "$work/$name.pdf")" \
    "$(min_of "${theirs[@]}")" "$(median_of "${theirs[@]}")" "$(mb "$work/$name-img2pdf.pdf")" \
    "$(ratio "$(stat -c %s "$work/$name.pdf")" "$(stat -c %s "$work/$name-img2pdf.pdf")")"
  echo "  $(qpdf --check "$work/$name.pdf" | tail -n 1); $(stat -c %s "$work/$name.pdf") bytes against $(stat -c %s "$work/$name-img2pdf.pdf")"
  pdfimages -list "$work/$name.pdf" | sed -n '3,4p'
}

# The same batch with an input profile (made by LittleCMS: sRGB, or grey
# with a 2.2 curve): how many ICC streams the PDF holds.
profiled() { # MODE PICTURE PROFILE NAME
  "$cli" scan --linear "$work/$4.pdf" --batch "${feeder[@]}" --mode "$1" \
    --option "test-picture=$2" --profile "$3" > /dev/null
  local streams
  streams=$(qpdf --qdf --object-streams=disable "$work/$4.pdf" - | grep -c '/Alternate' || true)
  echo "$4: $(mb "$work/$4.pdf"), $(pdfimages -list "$work/$4.pdf" | tail -n +3 | wc -l) pages, ICC profile streams: $streams"
}

batch Gray Grid grey
batch Color "Color pattern" colour
python3 - "$work" <<'PY'
import ctypes, ctypes.util, sys
lcms = ctypes.CDLL(ctypes.util.find_library("lcms2"))
lcms.cmsBuildGamma.restype = ctypes.c_void_p
lcms.cmsBuildGamma.argtypes = [ctypes.c_void_p, ctypes.c_double]
lcms.cmsD50_xyY.restype = ctypes.c_void_p
lcms.cmsCreateGrayProfile.restype = ctypes.c_void_p
lcms.cmsCreateGrayProfile.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
lcms.cmsCreate_sRGBProfile.restype = ctypes.c_void_p
lcms.cmsSaveProfileToFile.argtypes = [ctypes.c_void_p, ctypes.c_char_p]
curve = lcms.cmsBuildGamma(None, 2.2)
lcms.cmsSaveProfileToFile(lcms.cmsCreateGrayProfile(lcms.cmsD50_xyY(), curve),
                          (sys.argv[1] + "/grey.icc").encode())
lcms.cmsSaveProfileToFile(lcms.cmsCreate_sRGBProfile(), (sys.argv[1] + "/srgb.icc").encode())
PY
profiled Gray Grid "$work/grey.icc" grey-profiled
profiled Color "Color pattern" "$work/srgb.icc" colour-profiled
