#!/usr/bin/env bash
# The README's picture of the roll dialog: two simulated 35 mm strips
# (bench/measure/strip_scan, one across the scan and one along it) opened
# through ロール... in the real window under a virtual X display, the
# second frame chosen. QT_SCALE_FACTOR and the locale are taken from the
# environment, as scripts/screenshot.sh takes them.
# Usage: scripts/roll-dialog-picture.sh [BUILD] [OUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/default}")
out=$(realpath -m "${2:-docs/roll-dialog.png}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/bench/measure/strip_scan" "$work/strip1.pnm" 35 across colour 150 4 > /dev/null
"$build/bench/measure/strip_scan" "$work/strip2.pnm" 35 along colour 150 3 > /dev/null
SCREENSHOT_STEPS="key Shift+F10; key L; wait 500; type \"$work/strip1.pnm\" \"$work/strip2.pnm\"; key Return; await rollDialog 20000; wait 800; key Down; wait 800" \
  TAMREL_BIN="$build/app/tamrel" XDG_CONFIG_HOME="$work/config" scripts/screenshot.sh "$out"
