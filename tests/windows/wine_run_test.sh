#!/usr/bin/env bash
# wine_run.sh as the Windows suite relies on it, each case with a home and a temporary folder of
# its own, both of which must be empty again afterwards:
#  1. Wine cannot make the prefix: the run fails before the program, showing what Wine printed;
#  2. the program fails in a prefix of the run's own: its exit code is passed on, and its words,
#     how it ended and what Wine printed while making the prefix are shown;
#  3. a shared prefix started, used and stopped by Wine itself: the program's exit code and words
#     come through, and once the prefix is stopped none of its programs is left running.
# Cases 1 and 2 put a stand-in for Wine first on the PATH (the script's own handling is under
# test); case 3 runs the real one.
# Usage: wine_run_test.sh WINE_RUN
set -u
wine_run=$(realpath "$1")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_in() { grep -qF -- "$2" <<<"$out" || fail "$1: no \"$2\" in the output: $out"; } # case, text

new_folders() { home=$(mktemp -d) tmp=$(mktemp -d); }
run() { out=$(HOME=$home TMPDIR=$tmp "$wine_run" "$@" 2>&1); status=$?; }
expect_nothing_left() { # case
  [ -z "$(ls -A "$tmp")" ] || fail "$1: left in the temporary folder: $(ls -A "$tmp")"
  [ -z "$(ls -A "$home")" ] || fail "$1: written to the home folder: $(ls -A "$home")"
  rm -rf "$home" "$tmp"
}

# ---- a stand-in for Wine --------------------------------------------------------------------------
stub=$(mktemp -d)
trap 'rm -rf "$stub"' EXIT
cat >"$stub/wine" <<'EOF'
#!/bin/sh
# Makes a prefix (fails to with STUB_BOOT=fail) with its server folder where Debian's Wine puts
# it; any other program prints a line and fails.
if [ "$1" = wineboot ]; then
  echo "stand-in: making $WINEPREFIX"
  mkdir -p "$TMPDIR/wine-stand-in/server-1-2"
  [ "${STUB_BOOT:-}" = fail ] && { echo "wine: could not load kernel32.dll, status c0000135"; exit 53; }
  mkdir -p "$WINEPREFIX/drive_c/windows/system32" && : >"$WINEPREFIX/drive_c/windows/system32/kernel32.dll"
  exit 0
fi
echo "stand-in: $1 says hello"
exit 3
EOF
printf '#!/bin/sh\nexit 0\n' >"$stub/wineserver"
chmod +x "$stub/wine" "$stub/wineserver"

new_folders
PATH="$stub:$PATH" STUB_BOOT=fail run program.exe
[ "$status" -ne 0 ] || fail "1: exit code 0 although no prefix could be made"
expect_in 1 "could not load kernel32.dll"
grep -q "says hello" <<<"$out" && fail "1: the program ran without a prefix"
expect_nothing_left 1

new_folders
PATH="$stub:$PATH" run program.exe
[ "$status" -eq 3 ] || fail "2: exit code $status, not the program's 3"
expect_in 2 "program.exe says hello"
expect_in 2 "program.exe ended with exit code 3"
expect_in 2 "stand-in: making"
expect_nothing_left 2

# ---- Wine itself --------------------------------------------------------------------------------
new_folders
prefix_file="$tmp/prefix.txt"
run --start-prefix "$prefix_file"
[ "$status" -eq 0 ] || fail "3: the prefix did not start: $out"
prefix=$(cat "$prefix_file" 2>/dev/null)
out=$(HOME=$home TMPDIR=$tmp CARDBATTLE_WINE_PREFIX_FILE=$prefix_file "$wine_run" cmd /c "echo from the program& exit 4" 2>&1)
status=$?
[ "$status" -eq 4 ] || fail "3: exit code $status, not the program's 4"
expect_in 3 "from the program"
expect_in 3 "cmd ended with exit code 4"
run --stop-prefix "$prefix_file"
for p in $(pgrep -f 'wine|[.]exe'); do
  tr '\0' '\n' 2>/dev/null <"/proc/$p/environ" | grep -qxF "WINEPREFIX=$prefix" &&
    fail "3: still running after the prefix was stopped: $(tr '\0' ' ' <"/proc/$p/cmdline")"
done
expect_nothing_left 3

[ "$failures" -eq 0 ] && echo "PASS" && exit 0
exit 1
