#!/usr/bin/env bash
# Fuzzes every target (or those named) for SECONDS each, default 600, and prints what each run did.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# The targets are built in build-fuzz/ with GCC, the address and undefined-behaviour sanitizers and
# coverage for afl-fuzz (see fuzz/CMakeLists.txt), and run two at a time, one per core (FUZZ_JOBS
# changes that). Each run starts from the seed corpus in fuzz/corpus/<target>/ and keeps what it finds
# in build-fuzz/findings/<date-time>/<target>/ (crashes/, hangs/, queue/; the log beside it). The exit
# status is 1 when any run found a crash or a hang.
set -uo pipefail
cd "$(dirname "$0")/.."

ALL_TARGETS=(index_files picture terminal_input console_screen drawtext)
seconds="${1:-600}"
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${ALL_TARGETS[@]}")
jobs="${FUZZ_JOBS:-2}"
timeout_ms="${FUZZ_TIMEOUT_MS:-2000}"
build=build-fuzz

case "$seconds" in '' | *[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...]" >&2; exit 2 ;; esac
for t in "${targets[@]}"; do
  [[ " ${ALL_TARGETS[*]} " == *" $t "* ]] || { echo "unknown target $t (targets: ${ALL_TARGETS[*]})" >&2; exit 2; }
done
command -v afl-fuzz >/dev/null || { echo "afl-fuzz is missing: scripts/setup.sh installs afl++" >&2; exit 1; }

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCARDBATTLE_SANITIZE=ON -DCARDBATTLE_FUZZ=ON \
  -DCARDBATTLE_BENCH=OFF >/dev/null || exit 1
cmake --build "$build" -j"$(nproc)" --target fuzz_targets || exit 1

out="$build/findings/$(date +%Y%m%d-%H%M%S)"
mkdir -p "$out"
ln -sfn "$(basename "$out")" "$build/findings/latest"

# afl-fuzz's checks of the machine's set-up, which a shared machine cannot meet and which do not
# change what is found: CPU frequency scaling, a core of its own, where core dumps go.
export AFL_SKIP_CPUFREQ=1 AFL_NO_AFFINITY=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 AFL_NO_UI=1

fuzz_one() {
  local t="$1" dict=()
  [ -f "fuzz/dict/$t.dict" ] && dict=(-x "fuzz/dict/$t.dict")
  # The targets' scratch folders go here rather than into /tmp, and are removed afterwards.
  mkdir -p "$out/scratch-$t"
  TMPDIR="$PWD/$out/scratch-$t" afl-fuzz -V "$seconds" -t "$timeout_ms" -i "fuzz/corpus/$t" -o "$out/$t" \
    "${dict[@]}" -- "$build/fuzz/fuzz_$t" >"$out/$t.log" 2>&1
  rm -rf "$out/scratch-$t"
}

echo "Fuzzing ${targets[*]} for $seconds s each, $jobs at a time; findings in $out"
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
  echo "  $(date +%T) $t"
  fuzz_one "$t" &
done
wait

stat_of() { sed -n "s/^$1 *: *//p" "$2" 2>/dev/null; }
status=0
printf '\n%-16s %8s %12s %9s %7s %8s %6s\n' target seconds executions execs/s corpus crashes hangs
for t in "${targets[@]}"; do
  stats="$out/$t/default/fuzzer_stats"
  if [ ! -f "$stats" ]; then
    printf '%-16s did not run: see %s\n' "$t" "$out/$t.log"
    status=1
    continue
  fi
  crashes=$(stat_of saved_crashes "$stats")
  hangs=$(stat_of saved_hangs "$stats")
  printf '%-16s %8s %12s %9s %7s %8s %6s\n' "$t" "$(stat_of run_time "$stats")" "$(stat_of execs_done "$stats")" \
    "$(stat_of execs_per_sec "$stats")" "$(stat_of corpus_count "$stats")" "$crashes" "$hangs"
  [ "${crashes:-0}" != 0 ] || [ "${hangs:-0}" != 0 ] && status=1
done
for t in "${targets[@]}"; do
  for f in "$out/$t"/default/{crashes,hangs}/id:*; do
    [ -e "$f" ] && echo "reproduce: $build/fuzz/fuzz_$t '$f'"
  done
done
exit $status
