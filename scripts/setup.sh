#!/usr/bin/env bash
# Installs every Debian 12 package that building, running, testing, fuzzing
# and benchmarking Tamrel needs. Asks nothing; safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  fonts-ipafont-gothic
  libgtest-dev libgmock-dev libbenchmark-dev
  libsane-dev sane-utils
  libpng-dev libtiff-dev zlib1g-dev liblcms2-dev libdeflate-dev libisal-dev
  libjpeg62-turbo-dev libqpdf-dev
  libjpeg-turbo-progs qpdf poppler-utils
  libgsl-dev
  libvips-tools
  clang libclang-rt-14-dev llvm lld
  xvfb xauth x11-apps xdotool
  imagemagick libimage-exiftool-perl img2pdf argyll
  at-spi2-core
  qt6-translations-l10n
  locales
  lintian appstream dpkg-dev file
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Tests check that numbers in labels and files keep their decimal point under
# a decimal-comma locale, and the window under a Japanese one.
for loc in de_DE ja_JP; do
  if ! locale -a 2>/dev/null | grep -qi "^${loc}\.utf-\?8$"; then
    "${sudo_cmd[@]}" localedef -i "$loc" -f UTF-8 "$loc.UTF-8"
  fi
done
