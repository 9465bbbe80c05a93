#!/usr/bin/env bash
# The browser build's frame benchmark beside the native one, in the same run: the whole battle frame
# composed from nothing at the three window sizes, by the WebAssembly build under Node (V8, as in
# Chromium) and by the native build, both with the baked pictures. Builds what is missing first
# (scripts/web.sh for the browser build).
set -euo pipefail
cd "$(dirname "$0")/.."
frames="${1:-100}"
[ -f build-web/bench/bench_frame_web.js ] || scripts/web.sh
cmake --build build -j"$(nproc)" --target bench_frame >/dev/null
# The Node programs' stand-in page, as the browser build's tests have it.
export NODE_PATH="$PWD/node_modules" CARDBATTLE_WEB_FONT=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc \
  CARDBATTLE_WEB_GLYPHS="$PWD/web/glyphs.js" CARDBATTLE_WEB_STORAGE="$PWD/web/storage.js"
echo "== native (build/bench/bench_frame)"
(cd build && bench/bench_frame --benchmark_filter='BattleFrameFromNothing' 2>/dev/null | grep BattleFrame)
echo "== WebAssembly under Node (build-web/bench/bench_frame_web.js)"
(cd build-web && node bench/bench_frame_web.js "$frames")
