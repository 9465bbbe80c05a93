#!/usr/bin/env bash
# Measures the real binary in a virtual X server (1920 x 1080), without a terminal: the time from
# its launch to the lobby on screen, and its resident memory in the lobby at its own size, resized
# to fill the screen and resized to twice its size. Prints the figures; checks nothing else.
# Usage: lobby_measure.sh CARDBATTLE ASSET_DIR [RESOLUTION]   (resolution 0, 1 or 2; default 1)
set -u
. "$(dirname "$0")/lib.sh"
bin=$(realpath "$1")
assets=$(realpath "$2")
watch="$(dirname "$bin")/tests/e2e/e2e_frame_watch"
[ -x "$watch" ] || { echo "no $watch: build the e2e_frame_watch target"; exit 2; }
require Xvfb xdotool xwininfo
start_xvfb 1920x1080

rss() { awk '/VmRSS/ {printf "%.1f MiB", $2 / 1024}' "/proc/$pid/status"; }
resized_rss() { # width height
  xdotool windowsize "$win" "$1" "$2"
  wait_for 5 has_size "$win" "${1}x$2" || fail "the window was not resized to ${1}x$2"
  sleep 1
  echo "Resident memory in the lobby resized to $1 x $2: $(rss)"
}

launched=$(date +%s%N)
launch_game "$bin" "$assets" "${3:-1}"
win=""
for _ in $(seq 2000); do # every few milliseconds: the lobby follows the window closely
  win=$(window_named '^cardbattle$')
  [ -n "$win" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.005
done
[ -n "$win" ] || { fail "the game window never opened"; cat "$run/err.txt"; finish; }
# The lobby's sky in the top left corner: dark, but not black like the window before it.
shown=$("$watch" "$win" 0 0 16 16 20000 --from-black | tail -n 1)
[ "$shown" = watching ] && { fail "the lobby never showed"; finish; }
echo "From launch to the lobby on screen (${width} x ${height}): $(((shown - launched) / 1000000)) ms"
sleep 1
echo "Resident memory in the lobby at ${width} x ${height}: $(rss)"
xdotool windowmove "$win" 0 0
resized_rss 1920 1080
resized_rss $((2 * width)) $((2 * height))
finish
