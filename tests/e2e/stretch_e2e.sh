#!/usr/bin/env bash
# The real binary in a resized and in a fullscreen window, in a virtual X server, with setting.ini
# asking for 756 x 512:
#  1. resized to 1512 x 1024 (no window manager needed), the lobby fills the window; a click where
#     the adventure button used to be before the resize does nothing, a click where it is drawn
#     now starts a match; no OpenGL library is loaded;
#  2. under a window manager, F11 makes the window fill the screen: the frame is scaled with its
#     aspect kept and black bars above and below; a click on a hand card, where it is drawn, marks
#     it; F11 again gives the window its size back;
#  3. closing the window ends the program with exit code 0.
# Usage: stretch_e2e.sh CARDBATTLE CLOSE_WINDOW ASSET_DIR
set -u
. "$(dirname "$0")/lib.sh"
bin=$(realpath "$1")
close_window=$(realpath "$2")
assets=$(realpath "$3")

require Xvfb xdotool xwininfo xprop import convert compare evilwm
screen_w=1600 screen_h=1200
start_xvfb ${screen_w}x${screen_h}
start_game "$bin" "$assets" 0
sleep 1
shot lobby
[ "$(unlike_picture lobby lobby 0 0 800 400)" -le 6 ] || fail "the lobby picture is not on screen"

# ---- resized to twice its size ---------------------------------------------------------------
xdotool windowmove "$win" 0 0 # all of it on the screen, for the screenshots
xdotool windowsize "$win" 1512 1024
wait_for 5 has_size "$win" 1512x1024 ||
  fail "the window was not resized to 1512x1024 (it is $(window_size "$win"))"
sleep 0.5
set_view 0 0 1024
shot stretched
# Twice the size exactly: every frame pixel drawn as a block of two by two.
convert "$work/lobby.png" -sample 1512x1024! "$work/doubled.png"
changed=$(compare -metric AE "$work/stretched.png" "$work/doubled.png" null: 2>&1 | cut -d' ' -f1)
[ "$changed" = 0 ] || fail "the resized window does not show the lobby doubled ($changed pixels differ)"
if grep -q -E 'libGL|libEGL|libvulkan|_dri\.so' "/proc/$pid/maps"; then
  fail "a graphics library is loaded: $(grep -o -E '[^/]*(libGL|libEGL|libvulkan|_dri\.so)[^ ]*' "/proc/$pid/maps" | sort -u | tr '\n' ' ')"
fi
echo "Resident memory in the lobby stretched to 1512 x 1024: $(awk '/VmRSS/ {print $2, $3}' "/proc/$pid/status")"

# Where the button was drawn before the resize is lobby sky now: nothing happens.
xdotool mousemove --window "$win" 485 265
sleep 0.2
xdotool click 1
sleep 1.5
shot still_lobby
[ "$(differing stretched still_lobby 0 0 1512 1024)" -le 1 ] || fail "a click beside the stretched button left the lobby"

click_at 970 530 # the adventure button, where it is drawn now
sleep 7          # eight cards are dealt, 0.6 s each
shot exchange
[ "$(unlike_picture exchange bg 300 420 700 160)" -le 6 ] || fail "no match began: the battle background is not on screen"
[ "$(unlike_picture exchange bg 70 850 500 120)" -ge 8 ] || fail "no cards in the player's hand"

# ---- fullscreen --------------------------------------------------------------------------------
evilwm >"$work/wm.log" 2>&1 &
pids+=($!)
wait_for 5 bash -c "xprop -id $win _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_FOCUSED || xprop -id $win WM_STATE 2>/dev/null | grep -q Normal" ||
  fail "the window manager did not take the window"
xdotool windowfocus --sync "$win"
xdotool key F11
wait_for 5 has_size "$win" ${screen_w}x${screen_h} || fail "F11 did not make the window fill the screen (it is $(window_size "$win"))"
sleep 0.5
# 756 x 512 scaled to the screen's width: 1600 x 1084, bars of 58 pixels above and below.
set_view 0 58 1084
shot full
[ "$(pixel_at full 800 20)" = "0,0,0" ] || fail "the bar above the frame is $(pixel_at full 800 20), not black"
[ "$(pixel_at full 800 1180)" = "0,0,0" ] || fail "the bar below the frame is $(pixel_at full 800 1180), not black"
[ "$(unlike_picture full bg 300 420 700 160)" -le 6 ] || fail "the battle is not scaled into the fullscreen window"
click_at 111 906 # the first hand card: marked for exchange
shot marked
[ "$(differing full marked 70 850 82 112)" -ge 5 ] || fail "a click on a hand card in the fullscreen window did not mark it"
xdotool key F11
wait_for 5 has_size "$win" 1512x1024 || fail "F11 again did not give the window its size back (it is $(window_size "$win"))"

close_and_expect_clean_exit "$close_window" "$win" "$pid"
finish
