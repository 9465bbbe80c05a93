#!/usr/bin/env bash
# Installs what building, playing and testing cardbattle need on Debian 12; safe to run again.
#   scripts/setup.sh             the Linux build, its tests and the game
#   scripts/setup.sh --windows   also the Windows cross build and Wine to test it under
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libsdl2-dev libx11-dev libstb-dev
  libfontconfig-dev libfreetype-dev fontconfig fonts-wqy-microhei
  librsvg2-bin libvterm-dev
  desktop-file-utils man-db appstream lintian
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xdotool x11-utils imagemagick xterm evilwm openbox
  afl++
)
if [ "${1:-}" = "--windows" ]; then
  # The MinGW-w64 compiler of the posix thread model (for std::thread), GoogleTest's sources to
  # build with it, Wine (64-bit) with the fonts above to run what it builds, and NSIS for the
  # installer.
  PACKAGES+=(g++-mingw-w64-x86-64-posix googletest wine wine64 nsis)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! $SUDO apt-get install -y -q "${missing[@]}"; then
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q "${missing[@]}"
fi
