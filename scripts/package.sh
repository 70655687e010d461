#!/usr/bin/env bash
# Builds the Debian package with CPack from a build preset (default: default),
# checks it with lintian (errors fail), and prints its path as the last line.
# Usage: scripts/package.sh [PRESET]
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
./scripts/setup.sh
cmake --preset "$preset" -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build --preset "$preset" --target tamrel tamrel-cli tamrel_changelog >&2
dir=build/$preset
rm -f "$dir"/tamrel_*.deb
(cd "$dir" && cpack -G DEB >&2)
deb=$(ls "$dir"/tamrel_*.deb 2>/dev/null | head -n 1)
if [ -z "$deb" ]; then
  echo "package.sh: cpack made no package" >&2
  exit 1
fi
lintian --fail-on error "$deb" >&2
realpath "$deb"
