#!/usr/bin/env bash
# Builds and runs every test: first the whole suite under the address and undefined-behaviour
# sanitizers, then the Windows build's suite under Wine, then the browser build's under Node and in
# Chromium, then the normal build (whose CTest summary ends the output).
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --windows --web || exit 1
jobs="$(nproc)"
status=0

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DCARDBATTLE_SANITIZE=ON -DCARDBATTLE_BENCH=OFF >/dev/null || exit 1
cmake --build build-sanitize -j"$jobs" || exit 1
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize -j"$jobs" --output-on-failure -LE e2e || status=1
[ $status -ne 0 ] && echo "The sanitizer build of the test suite failed."

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
cmake --build build -j"$jobs" || exit 1

# The Windows build (its pictures baked by the build above) and its tests under Wine, the zip's
# end-to-end run among them.
scripts/windows.sh || exit 1
ctest --test-dir build-windows -j"$jobs" --output-on-failure || { status=1; echo "The Windows suite failed."; }

# The browser build and its tests: under Node, and the page in Chromium.
scripts/web.sh || exit 1
ctest --test-dir build-web -j"$jobs" --output-on-failure || { status=1; echo "The browser suite failed."; }

ctest --test-dir build -j"$jobs" --output-on-failure || status=1
exit $status
