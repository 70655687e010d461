#!/usr/bin/env bash
# Installs what Tamrel needs, builds it and starts the window.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target tamrel
exec ./build/default/app/tamrel "$@"
