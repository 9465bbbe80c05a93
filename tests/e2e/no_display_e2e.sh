#!/usr/bin/env bash
# The real binary where no window can be opened, started without a terminal: with no display named
# at all (as over ssh without X forwarding, or on a text console), and with a display nobody serves.
# Each time standard error says why the window cannot be opened and the program ends at once with
# status 1, instead of running on with no window.
# (The same with the launcher shown in a terminal is a round of launcher_e2e.sh.)
# Usage: no_display_e2e.sh CARDBATTLE ASSET_DIR
set -u
. "$(dirname "$0")/lib.sh"
bin=$(realpath "$1")
assets=$(realpath "$2")

# A display number no X server of this machine serves.
free_display() {
  local n
  for n in $(seq 90 199); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { echo ":$n"; return; }
  done
}

# Runs the game in a folder of its own with the given environment changes; sets rc and err.
run_without_window() { # label, env arguments...
  local label=$1
  shift
  mkdir -p "$work/$label"
  ln -s "$assets" "$work/$label/asset"
  (cd "$work/$label" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$@" timeout 20 "$bin" \
    </dev/null >"$work/$label.out" 2>"$work/$label.err")
  rc=$?
  err="$work/$label.err"
}

expect_said_and_failed() { # label, the reason expected on standard error
  [ "$rc" = 1 ] || fail "$1: the program ended with status $rc, not 1 (124: it ran on until killed)"
  grep -qF "cardbattle: cannot open the game window: $2" "$err" ||
    fail "$1: standard error does not say '$2': $(tr '\n' '|' <"$err")"
}

run_without_window none
expect_said_and_failed "no display" "there is no graphical display here: neither DISPLAY nor WAYLAND_DISPLAY is set"
grep -q XDG_RUNTIME_DIR "$err" && fail "no display: a display nobody named was tried (its library complained)"

nowhere=$(free_display)
run_without_window unserved DISPLAY="$nowhere"
expect_said_and_failed "display $nowhere" "the display DISPLAY ($nowhere) cannot be reached"
finish
