#!/usr/bin/env bash
# Starts Tamrel in a virtual X display and saves a screenshot of its window.
# Usage: scripts/screenshot.sh OUT.png [seconds to wait] [extra arguments]
set -euo pipefail
out=${1:-docs/screenshot.png}
wait=${2:-2}
cd "$(dirname "$0")/.."
bin=./build/default/app/tamrel
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" bash -c "
  $bin &
  pid=\$!
  sleep $wait
  id=\$(xwininfo -root -tree | awk '/\"Tamrel\": \(\"tamrel\"/ {print \$1; exit}')
  xwd -id \"\$id\" -silent | /usr/bin/convert xwd:- \"$out\"
  kill \$pid
"
echo "$out"
