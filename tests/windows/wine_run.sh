#!/usr/bin/env bash
# Runs a Windows program under Wine, as the cross build's tests and tools do:
#   wine_run.sh PROGRAM.exe [ARGS...]       run it and pass on its exit code
#   wine_run.sh --start-prefix FILE          make a fresh Wine prefix in a temporary folder, start
#                                            it, and name it in FILE for the runs that follow
#   wine_run.sh --stop-prefix FILE           stop the prefix named in FILE and remove it
# A run takes the prefix named in $CARDBATTLE_WINE_PREFIX_FILE when there is one, or else makes
# one of its own and removes it afterwards, so that no run depends on the user's own Wine set-up.
set -u
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPREFIX

new_prefix() { # [seconds the Wine server stays up with no program running]
  WINEPREFIX=$(mktemp -d /tmp/cardbattle-wine.XXXXXX) || exit 1
  export WINEPREFIX
  # The server and the services Wine starts outlive this script: they must not hold its output
  # open, or whoever reads that output (ctest) would wait for them.
  [ -n "${1:-}" ] && wineserver -p"$1" </dev/null >/dev/null 2>&1
  wine wineboot --init </dev/null >/dev/null 2>&1
}

drop_prefix() {
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] || return 0
  wineserver -k 2>/dev/null
  rm -rf "$WINEPREFIX"
}

case "${1:-}" in
  --start-prefix)
    # Kept up between the runs of a test session, so that each does not start Wine afresh.
    new_prefix 60
    echo "$WINEPREFIX" >"$2"
    exit 0 ;;
  --stop-prefix)
    [ -f "$2" ] && export WINEPREFIX=$(cat "$2") && drop_prefix
    rm -f "$2"
    exit 0 ;;
  "")
    echo "usage: $0 PROGRAM.exe [ARGS...]" >&2
    exit 2 ;;
esac

shared="${CARDBATTLE_WINE_PREFIX_FILE:-}"
if [ -n "$shared" ] && [ -f "$shared" ] && [ -d "$(cat "$shared")" ]; then
  export WINEPREFIX=$(cat "$shared")
  wine "$@"
  exit $?
fi
new_prefix
wine "$@"
status=$?
drop_prefix
exit $status
