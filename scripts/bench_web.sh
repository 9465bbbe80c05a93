#!/usr/bin/env bash
# The battle frame composed by the browser build beside the native build, in one run: the same
# timing program (bench/frame_loop.cpp), as WebAssembly under Node (V8, as in Chromium) and
# natively, both with the baked pictures, taking turns twice (so that a busy moment of the machine
# does not fall on one side only), then the ratio of their best times at each window size; then the
# strong opponent's thinking before each action on both sides (bench/decision_times.cpp). Builds
# what is out of date first (scripts/web.sh configures the browser build when it is missing).
#   scripts/bench_web.sh [frames per batch]
set -euo pipefail
cd "$(dirname "$0")/.."
frames="${1:-100}"
[ -f build-web/CMakeCache.txt ] || scripts/web.sh
cmake --build build -j"$(nproc)" --target bench_frame_loop bench_decision_times >/dev/null
# Debian's emcc runs on Node.js and needs Debian's own modules (acorn), as in scripts/web.sh.
NODE_PATH=/usr/share/nodejs cmake --build build-web -j"$(nproc)" --target bench_frame_loop bench_decision_times >/dev/null
# The Node program's stand-in page, as the browser build's tests have it.
export NODE_PATH="$PWD/node_modules" CARDBATTLE_WEB_FONT=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc \
  CARDBATTLE_WEB_GLYPHS="$PWD/web/glyphs.js" CARDBATTLE_WEB_STORAGE="$PWD/web/storage.js"
native="" web=""
for round in 1 2; do
  echo "== round $round: native (build/bench/bench_frame_loop)"
  out="$(cd build && bench/bench_frame_loop "$frames")" && echo "$out" && native+="$out"$'\n'
  echo "== round $round: WebAssembly under Node (build-web/bench/bench_frame_loop.js)"
  out="$(cd build-web && node bench/bench_frame_loop.js "$frames")" && echo "$out" && web+="$out"$'\n'
done
# The best time of each size over both rounds, side by side, the largest window first.
echo "== the browser build's best over the native build's best"
{ echo "$native" | sed 's/^/native /'; echo "$web" | sed 's/^/web /'; } |
  awk 'NF > 1 { best = $1 == "native" ? "n" : "w"; key = best SUBSEP $2
                if (!(key in t) || $4 < t[key]) t[key] = $4; sizes[$2] = 1 }
       END { for (s in sizes) printf "%-28s native %6d us  web %6d us  %.2f x\n", s, t["n", s], t["w", s], t["w", s] / t["n", s] }' |
  sort -t/ -k2,2nr
# The strong opponent's thinking before each action (bench/decision_times.cpp), on both sides.
echo "== the strong opponent's decisions: native, then WebAssembly under Node"
(cd build && bench/bench_decision_times 10)
(cd build-web && node bench/bench_decision_times.js 10)
