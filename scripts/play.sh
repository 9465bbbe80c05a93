#!/usr/bin/env bash
# Builds cardbattle and starts it from the build folder, where its pictures are baked.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCARDBATTLE_BENCH=OFF >/dev/null
cmake --build build --target cardbattle bake_assets -j"$(nproc)"
cd build
exec ./cardbattle "$@"
