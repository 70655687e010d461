#!/usr/bin/env bash
# Starts Tamrel in a virtual X display and saves a screenshot of its window.
# With an image, opens it through the window's own button and file dialog and
# rests the pointer over the preview, so the readout shows values.
# With a parameter file, loads it first, so the plot shows three curves.
# Usage: scripts/screenshot.sh OUT.png [IMAGE.bmp [PARAMS.tvp]]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/screenshot.png}")
image=${2:+$(realpath "$2")}
params=${3:+$(realpath "$3")}
bin=./build/default/app/tamrel

xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" bash -c '
  set -eu
  "$0" & pid=$!
  sleep 2
  id=$(xwininfo -root -tree | awk "/\"Tamrel\": \\(\"tamrel\"/ {print \$1; exit}")
  if [ -n "$3" ]; then
    xdotool mousemove --window "$id" 318 570 click 1   # the load-parameters button
    sleep 1.5
    xdotool type --delay 15 "$3"
    xdotool key Return
    sleep 1
  fi
  if [ -n "$2" ]; then
    xdotool mousemove --window "$id" 610 570 click 1   # the open-image button
    sleep 1.5
    xdotool type --delay 15 "$2"
    xdotool key Return
    sleep 1.5
    xdotool mousemove --window "$id" 640 300          # over the preview
    sleep 0.5
  fi
  xwd -id "$id" -silent | /usr/bin/convert xwd:- "$1"
  kill $pid
' "$bin" "$out" "$image" "$params"
echo "$out"
