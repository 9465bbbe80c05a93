#!/usr/bin/env bash
# Installs what building, playing and testing cardbattle need on Debian 12; safe to run again.
#   scripts/setup.sh             the Linux build, its tests and the game
#   scripts/setup.sh --windows   also the Windows cross build and Wine to test it under
#   scripts/setup.sh --web       also the browser build (Emscripten) and Chromium to test it in
# (the options may be given together).
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config python3
  libsdl2-dev libx11-dev libstb-dev
  libfontconfig-dev libfreetype-dev fontconfig fonts-wqy-microhei
  librsvg2-bin libvterm-dev gettext
  desktop-file-utils man-db appstream lintian
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xdotool x11-utils imagemagick xterm evilwm openbox
  afl++
)
for option in "$@"; do
  case "$option" in
    --windows)
      # The MinGW-w64 compiler of the posix thread model (for std::thread), GoogleTest's sources to
      # build with it, Wine (64-bit) with the fonts above to run what it builds, and NSIS for the
      # installer.
      PACKAGES+=(g++-mingw-w64-x86-64-posix googletest wine wine64 nsis) ;;
    --web)
      # Debian's Emscripten (with Node.js to run it), GoogleTest's sources to build with it,
      # Chromium for the end-to-end test, fonttools (and Brotli for WOFF2) to cut the web font,
      # Brotli's program for the page's compressed copies; npm for the page's packages, unless
      # Node.js came with its own.
      PACKAGES+=(emscripten googletest chromium fonttools python3-brotli brotli)
      command -v npm >/dev/null || PACKAGES+=(npm) ;;
    *) echo "usage: scripts/setup.sh [--windows] [--web]" >&2; exit 2 ;;
  esac
done

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
