#!/usr/bin/env bash
# Runs a Windows program under Wine, as the cross build's tests and tools do:
#   wine_run.sh PROGRAM.exe [ARGS...]       run it and pass on its exit code
#   wine_run.sh --start-prefix FILE          make a fresh Wine prefix in a temporary folder, start
#                                            it, and name it in FILE for the runs that follow
#   wine_run.sh --stop-prefix FILE           stop the prefix named in FILE and remove it
# A run takes the prefix named in $CARDBATTLE_WINE_PREFIX_FILE when there is one, or else makes
# one of its own and removes it afterwards, so that no run depends on the user's own Wine set-up.
#
# A prefix lives in a folder of its own (cardbattle-wine.XXXXXX in the temporary folder) beside the
# folder Wine's server keeps its socket in (Debian's Wine makes that in TMPDIR), so that removing
# the one folder leaves nothing of Wine behind. The menu builder is off: it would write menus and
# file types into the home folder. Wine's error messages are not hidden, what Wine printed while
# it made a prefix is shown when that fails, and every run ends with a line saying how the program
# ended: a program that Wine ended without a word (its console host gone, say) shows there.
set -u
export WINEDEBUG=-all,err+all,fixme+console WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WINEPREFIX
me=${0##*/}

# What Wine printed while it made the prefix in use, under a heading.
show_boot_log() {
  echo "$me: $1" >&2
  sed 's/^/  /' "${WINEPREFIX%/prefix}/boot.log" >&2
}

# Points Wine at a prefix made by new_prefix.
use_prefix() {
  export WINEPREFIX=$1
  local session=${1%/prefix}
  [ -d "$session/tmp" ] && export TMPDIR="$session/tmp"
}

new_prefix() { # [seconds the Wine server stays up with no program running]
  local session status
  session=$(mktemp -d "${TMPDIR:-/tmp}/cardbattle-wine.XXXXXX") || exit 1
  mkdir "$session/prefix" "$session/tmp" || exit 1
  use_prefix "$session/prefix"
  # The server and the services Wine starts outlive this script: they must not hold its output
  # open, or whoever reads that output (ctest) would wait for them.
  [ -n "${1:-}" ] && wineserver -p"$1" </dev/null >/dev/null 2>&1
  wine wineboot --init </dev/null >"$session/boot.log" 2>&1
  status=$?
  [ $status -eq 0 ] && [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ] && return 0
  show_boot_log "Wine could not make its prefix in $WINEPREFIX (wineboot exit code $status); Wine printed:"
  return 1
}

# Where the server of the prefix in use keeps its socket when that is outside the prefix's own
# folder: Debian's Wine takes /run/user/UID/wine when /run/user/UID exists.
outside_server_folder() {
  local ids
  ids=$(stat -c '%d %i' "$WINEPREFIX" 2>/dev/null) || return
  # shellcheck disable=SC2086 # two numbers
  printf '/run/user/%s/wine/server-%x-%x' "$(id -u)" $ids
}

drop_prefix() {
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] || return 0
  local session=${WINEPREFIX%/prefix} outside
  case "${session##*/}" in
    cardbattle-wine.??????) ;;
    *) echo "$me: $WINEPREFIX is not a prefix this script made; left as it is" >&2; return 1 ;;
  esac
  outside=$(outside_server_folder)
  wineserver -k 2>/dev/null # returns once the server and its programs have ended
  rm -rf "$session"
  [ -n "$outside" ] && [ -d "$outside" ] && rm -rf "$outside"
  return 0
}

# Runs the program and says how it ended.
run() {
  local started=$SECONDS status
  wine "$@"
  status=$?
  echo "$me: ${1##*[/\\]} ended with exit code $status after $((SECONDS - started)) s" >&2
  return $status
}

case "${1:-}" in
  --start-prefix)
    # Kept up between the runs of a test session, so that each does not start Wine afresh.
    new_prefix 60 || { drop_prefix; exit 1; }
    echo "$WINEPREFIX" >"$2"
    exit 0 ;;
  --stop-prefix)
    [ -f "$2" ] && use_prefix "$(cat "$2")" && drop_prefix
    rm -f "$2"
    exit 0 ;;
  "")
    echo "usage: $0 PROGRAM.exe [ARGS...]" >&2
    exit 2 ;;
esac

shared="${CARDBATTLE_WINE_PREFIX_FILE:-}"
if [ -n "$shared" ] && [ -f "$shared" ] && [ -d "$(cat "$shared")" ]; then
  use_prefix "$(cat "$shared")"
  run "$@"
  exit $?
fi
new_prefix || { drop_prefix; exit 1; }
run "$@"
status=$?
[ $status -ne 0 ] && show_boot_log "what Wine printed while it made the prefix:"
drop_prefix
exit $status
