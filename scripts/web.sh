#!/usr/bin/env bash
# Builds the browser version on Debian 12 with Emscripten and writes build-web/cardbattle-web/ (the
# page, its program and pictures, the terminal and the font it ships) and
# build-web/cardbattle-web.zip of that folder. Installs what is missing through apt (with sudo
# when not root) and npm; safe to run again.
#   scripts/web.sh           build
#   scripts/web.sh --serve   build what is out of date, then serve the folder at http://127.0.0.1:8000/
#
# The literal rewriting, the English table and the pictures' key step are tools built for this
# machine, in the Linux build folder build/ (the one scripts/play.sh and scripts/test.sh use); the
# browser build goes to build-web/. Afterwards `ctest --test-dir build-web` runs its tests under Node and in Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-}" in
  ""|--serve) ;;
  *) echo "usage: scripts/web.sh [--serve]" >&2; exit 2 ;;
esac
scripts/setup.sh --web
jobs="$(nproc)"
# Debian's emcc runs on Node.js and needs Debian's own modules (acorn) found from any Node.js.
export NODE_PATH=/usr/share/nodejs

# The page's packages exactly as package-lock.json has them, fetched again only when they differ.
if ! npm ls --silent >/dev/null 2>&1; then
  npm ci --no-audit --no-fund
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs" --target rewrite_literals art_key po_table gbk_table

emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DCARDBATTLE_HOST_BUILD="$PWD/build" \
  -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/bin/node >/dev/null
cmake --build build-web -j"$jobs"
echo "Written: build-web/cardbattle-web/ and build-web/cardbattle-web.zip ($(du -k build-web/cardbattle-web.zip | cut -f1) KiB)"

if [ "${1:-}" = "--serve" ]; then
  echo "Serving build-web/cardbattle-web/ at http://127.0.0.1:8000/ (Ctrl-C stops)"
  exec python3 -m http.server --bind 127.0.0.1 --directory build-web/cardbattle-web 8000
fi
