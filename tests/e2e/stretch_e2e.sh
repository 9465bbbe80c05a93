#!/usr/bin/env bash
# The real binary in a resized and in a fullscreen window, in a virtual X server, with setting.ini
# asking for 756 x 512:
#  0. with no window manager, and with one that grants nothing, full screen is not granted: F11,
#     and F11 again, leave the window and the lobby in it exactly as they were; with no manager
#     F11 does not even ask (the game would wait for an answer that never comes);
#  1. resized to 1512 x 1024 (no window manager needed), the lobby fills the window; a click where
#     the adventure button used to be before the resize does nothing, a click where it is drawn
#     now starts a match; no OpenGL library is loaded;
#  2. under a window manager, F11 makes the window fill the screen: the frame is scaled with its
#     aspect kept and black bars above and below; a click on a hand card, where it is drawn, marks
#     it; F11 again gives the window its size back;
#  3. closing the window ends the program with exit code 0.
# Usage: stretch_e2e.sh CARDBATTLE CLOSE_WINDOW ASSET_DIR IDLE_MANAGER
set -u
. "$(dirname "$0")/lib.sh"
bin=$(realpath "$1")
close_window=$(realpath "$2")
assets=$(realpath "$3")
idle_manager=$(realpath "$4")

require Xvfb xdotool xwininfo xprop xev import convert compare evilwm
screen_w=1600 screen_h=1200
start_xvfb ${screen_w}x${screen_h}
xev -root -event substructure >"$work/root.log" 2>&1 & # requests to a manager go to the root window
xev=$!
pids+=($xev)
start_game "$bin" "$assets" 0
sleep 1
shot lobby
[ "$(unlike_picture lobby lobby 0 0 800 400)" -le 6 ] || fail "the lobby picture is not on screen"

# ---- F11 where full screen is not granted -----------------------------------------------------
f11_leaves_the_window() { # where
  local press changed
  for press in first second; do
    xdotool windowfocus --sync "$win"
    xdotool key F11
    sleep 0.8
    [ "$(window_size "$win")" = 756x512 ] || fail "F11 ($press) $1: the window is $(window_size "$win")"
    shot "f11_$press"
    changed=$(compare -metric AE "$work/lobby.png" "$work/f11_$press.png" null: 2>&1 | cut -d' ' -f1)
    [ "$changed" = 0 ] || fail "F11 ($press) $1: the lobby is drawn otherwise ($changed pixels differ)"
  done
}
f11_leaves_the_window "with no window manager"
kill "$xev"
! grep -q _NET_WM_STATE "$work/root.log" || fail "F11 with no window manager asked one for full screen"
"$idle_manager" >"$work/idle.log" 2>&1 &
idle=$!
pids+=($idle)
wait_for 5 grep -q "managing nothing" "$work/idle.log" || fail "the idle manager did not start"
f11_leaves_the_window "under a manager that grants nothing"
kill "$idle"

# ---- resized to twice its size ---------------------------------------------------------------
stretch_lobby_twice
if grep -q -E 'libGL|libEGL|libvulkan|_dri\.so' "/proc/$pid/maps"; then
  fail "a graphics library is loaded: $(grep -o -E '[^/]*(libGL|libEGL|libvulkan|_dri\.so)[^ ]*' "/proc/$pid/maps" | sort -u | tr '\n' ' ')"
fi
echo "Resident memory in the lobby stretched to 1512 x 1024: $(awk '/VmRSS/ {print $2, $3}' "/proc/$pid/status")"

click_at 970 530 # the adventure button, where it is drawn now
sleep 7          # eight cards are dealt, 0.6 s each
shot exchange
[ "$(unlike_picture exchange bg 300 420 700 160)" -le 6 ] || fail "no match began: the battle background is not on screen"
[ "$(unlike_picture exchange bg 70 850 500 120)" -ge 8 ] || fail "no cards in the player's hand"

# ---- fullscreen --------------------------------------------------------------------------------
fullscreen_round_trip $screen_w $screen_h

close_and_expect_clean_exit "$close_window" "$win" "$pid"
finish
