#!/usr/bin/env bash
# Builds the Debian package with CPack from a build preset (default: default),
# checks it with lintian (errors fail; every tag, informational ones too, is
# kept in lintian.txt beside it), and prints its path as the last line.
# Usage: scripts/package.sh [PRESET] [BUILD FOLDER]
# BUILD FOLDER replaces the preset's own, e.g. an empty one.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
dir=${2:-build/$preset}
./scripts/setup.sh
cmake --preset "$preset" -B "$dir" -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$dir" --target tamrel_package_contents >&2
rm -f "$dir"/tamrel_*.deb
(cd "$dir" && cpack -G DEB >&2)
deb=$(ls "$dir"/tamrel_*.deb 2>/dev/null | head -n 1)
if [ -z "$deb" ]; then
  echo "package.sh: cpack made no package" >&2
  exit 1
fi
lintian --fail-on error --display-info "$deb" | tee "$dir/lintian.txt" >&2
realpath "$deb"
