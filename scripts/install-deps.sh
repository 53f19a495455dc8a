#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs everything zelk needs to build, test and run on Debian 12.
# Does nothing when every package is already present.
# Usage: install-deps.sh [--package]   (--package: also the tools that build and check the
#                                      .deb: dpkg-dev, file, lintian, appstream, man-db)
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  libharfbuzz-dev libicu-dev libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-dejavu-core fonts-noto-cjk
  fontconfig libfontconfig-dev qt6-translations-l10n libxkbcommon-dev
  clang libclang-rt-14-dev clang-format
  poppler-utils xvfb xauth openbox x11-utils
  desktop-file-utils jq python3
)
# The real print test needs a CUPS server with a PDF queue.
if [ "${ZELK_WITH_CUPS:-1}" = 1 ]; then
  packages+=(cups cups-client cups-daemon printer-driver-cups-pdf libcups2-dev)
fi

# `make package`: CPack's dpkg-shlibdeps and file, lintian, appstreamcli, the man pages.
if [ "${1:-}" = --package ]; then
  packages+=(dpkg-dev file binutils lintian appstream man-db)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: these packages are missing and need root: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
