#!/usr/bin/env bash
# Builds the Windows release on Debian 12 with the MinGW-w64 cross compiler and writes
# build-windows/cardbattle-windows.zip (cardbattle.exe, asset/, README.txt) and the installer
# build-windows/cardbattle-<version>-setup.exe (the same files, by CPack's NSIS generator). Installs
# what is missing through apt (with sudo when not root); safe to run again.
#
# The pictures are baked and the English table is made by tools built for this machine, in the
# Linux build folder build/ (the same one scripts/play.sh and scripts/test.sh use); the Windows
# build goes to build-windows/.
# Afterwards `ctest --test-dir build-windows` runs the Windows tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --windows
jobs="$(nproc)"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs" --target art_key po_table e2e_close_window

cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCARDBATTLE_HOST_BUILD="$PWD/build" >/dev/null
cmake --build build-windows -j"$jobs"
(cd build-windows && cpack --config CPackConfig.cmake -G NSIS >cpack.log) || { cat build-windows/cpack.log; exit 1; }
echo "Written: build-windows/cardbattle-windows.zip ($(du -k build-windows/cardbattle-windows.zip | cut -f1) KiB)"
for setup in build-windows/cardbattle-*-setup.exe; do echo "Written: $setup ($(du -k "$setup" | cut -f1) KiB)"; done
