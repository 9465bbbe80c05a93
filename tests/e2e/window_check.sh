#!/usr/bin/env bash
# Runs window_check in a virtual X server: the flushed frame must be on the screen, and closing the
# window must end the program with exit code 0. Skipped (77) where no X server can be started.
# Usage: window_check.sh WINDOW_CHECK CLOSE_WINDOW
set -u
. "$(dirname "$0")/lib.sh"
check=$(realpath "$1")
close_window=$(realpath "$2")
require Xvfb xdotool xwininfo import convert
start_xvfb 640x480

"$check" >"$work/out" 2>&1 &
pid=$!
pids+=($pid)
wait_for 10 grep -q presented "$work/out" || fail "the program never presented its frame"
wait_for 10 has_window '^cardbattle$' || { fail "no window named cardbattle"; finish; }
win=$(window_named '^cardbattle$')
[ "$(window_size "$win")" = 320x200 ] || fail "the window is $(window_size "$win"), not 320x200"
sleep 0.3
import -window "$win" "$work/shot.png"
[ "$(pixel_at shot 10 10)" = "32,192,64" ] || fail "the frame's colour on screen is $(pixel_at shot 10 10)"
[ "$(pixel_at shot 150 75)" = "192,32,64" ] || fail "the inner square's colour on screen is $(pixel_at shot 150 75)"
close_and_expect_clean_exit "$close_window" "$win" "$pid"
finish
