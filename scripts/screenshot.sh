#!/usr/bin/env bash
# Starts Tamrel in a virtual X display and saves a picture of its window.
# With a parameter file, loads it first, so the plot shows three curves; with
# an image, opens it through the window's own button and file dialog and
# rests the pointer over the preview, so the readout shows values. The window
# is worked through its scripted steps (TAMREL_AUTOMATION), so the same
# script serves any QT_SCALE_FACTOR and locale given in the environment.
# SCREENSHOT_STEPS, when set, are more steps run just before the picture is
# taken (e.g. "key \\" for the image before the tables).
# TAMREL_BIN names another build of the program (build/default by default).
# Usage: scripts/screenshot.sh OUT.png [IMAGE [PARAMS.tvp]]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/screenshot.png}")
image=${2:+$(realpath "$2")}
params=${3:+$(realpath "$3")}
bin=${TAMREL_BIN:-./build/default/app/tamrel}

steps="wait 500"
if [ -n "$params" ]; then
  steps+="; click IDC_LOAD_PARAMS; wait 500; type $params; key Return; wait 300"
fi
if [ -n "$image" ]; then
  steps+="; click IDC_OPEN_IMAGE; wait 500; type $image; key Return; wait 800"
  steps+="; move IDC_IMAGE 150 120; wait 200"
fi
if [ -n "${SCREENSHOT_STEPS:-}" ]; then
  steps+="; $SCREENSHOT_STEPS; wait 300"
fi
steps+="; grab $out; key Escape; key Escape"
TAMREL_AUTOMATION="$steps" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1920x1200x24 -dpi 96" "$bin" 2>/dev/null
echo "$out"
