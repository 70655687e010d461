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
  # Clicks the button at (x, y) of the window and picks a file in its dialog.
  pick() {
    xdotool mousemove --window "$id" "$1" "$2" click 1
    sleep 1.5
    xdotool type --delay 15 "$3"
    xdotool key Return
    sleep 1.5
  }
  if [ -n "$3" ]; then pick 318 570 "$3"; fi       # the load-parameters button
  if [ -n "$2" ]; then
    pick 610 570 "$2"                              # the open-image button
    xdotool mousemove --window "$id" 640 300       # over the preview
    sleep 0.5
  fi
  xwd -id "$id" -silent | /usr/bin/convert xwd:- "$1"
  kill $pid
' "$bin" "$out" "$image" "$params"
echo "$out"
