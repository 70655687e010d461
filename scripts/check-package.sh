#!/usr/bin/env bash
# Builds the package and checks what it holds: both programs, the desktop
# entry, the icons, the metainfo, the manual pages, the Qt widget library among its
# dependencies; that lintian finds every hardening feature in its programs
# (no hardening-* tag, informational ones included); then unpacks it and runs
# the unpacked tool.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(./scripts/package.sh "${1:-default}" | tail -n 1)
contents=$(dpkg-deb -c "$deb")
for f in usr/bin/tamrel usr/bin/tamrel-cli usr/share/applications/tamrel.desktop \
         usr/share/icons/hicolor/48x48/apps/tamrel.png \
         usr/share/icons/hicolor/256x256/apps/tamrel.png \
         usr/share/metainfo/jp.ruma_selvo.Tamrel.metainfo.xml usr/share/doc/tamrel/copyright \
         usr/share/man/man1/tamrel.1.gz usr/share/man/man1/tamrel-cli.1.gz; do
  grep -q "\./$f\$" <<<"$contents" || { echo "package lacks $f" >&2; exit 1; }
done
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || { echo "package does not depend on Qt widgets" >&2; exit 1; }
if grep -E 'hardening-' "$(dirname "$deb")/lintian.txt" >&2; then
  echo "package programs lack hardening (above)" >&2
  exit 1
fi
appstreamcli validate --no-net "$(dirname "$deb")/res/jp.ruma_selvo.Tamrel.metainfo.xml" >&2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
"$root/usr/bin/tamrel-cli" table --defaults | head -n 2 | grep -qx "1 4 4 4" || { echo "unpacked tamrel-cli does not run" >&2; exit 1; }
echo "package: 1 passed, 0 failed"
