#!/usr/bin/env bash
# The real binary on a laptop's screen of 1366 x 768 under a window manager (openbox, whose title bar
# and borders take room the game cannot know before its window exists), started without a
# terminal:
#  1. no setting.ini: the largest window that fits is chosen, and the whole window, the manager's
#     frame included, is on the screen;
#  2. setting.ini asking for 1512 x 1024: the window opens scaled down, frame included on the
#     screen; the lobby shows letterboxed into it, and a click on the adventure button, where it is
#     drawn, starts a match;
#  3. the same under a title bar taller than the 40 px allowed for it before the manager says its
#     frame (a large title font): once it has said it, the whole frame is on the screen.
# "The frame" is both the window the manager puts the client area in and what it says of it.
# Closing the window ends the program with exit code 0 each time.
# Usage: fit_e2e.sh CARDBATTLE CLOSE_WINDOW ASSET_DIR
set -u
. "$(dirname "$0")/lib.sh"
bin=$(realpath "$1")
close_window=$(realpath "$2")
assets=$(realpath "$3")
require Xvfb xdotool xwininfo xprop import convert compare openbox
screen_w=1366 screen_h=768
start_xvfb ${screen_w}x${screen_h}
openbox >"$work/wm.log" 2>&1 &
pids+=($!)
wait_for 10 bash -c "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'" ||
  { fail "openbox did not start"; cat "$work/wm.log"; finish; }

# "x y width height" of a window on the screen.
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}
# The window the manager framed the game's client area in.
frame_geometry() { geometry "$(xwininfo -tree -id "$win" | awk '/Parent window id:/ {print $4}')"; }
# The frame the manager says it adds (_NET_FRAME_EXTENTS: left, right, top, bottom).
extents() { xprop -id "$win" _NET_FRAME_EXTENTS | sed -n 's/.* = //p' | tr -d ,; }
# The client area with that frame around it; nothing until the manager has said it.
said_frame() {
  local l r t b x y w h
  read -r l r t b <<<"$(extents)"
  read -r x y w h <<<"$(geometry "$win")"
  [ -n "$b" ] && echo $((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))
}

# The whole window, frame included, lies on the screen, and the frame is the manager's (larger than
# the client area): both the window it framed the client in and what it says of its frame. The frame
# may take a moment to settle.
lies_on_screen() { # client height, then x y width height
  [ -n "${5:-}" ] && [ "$5" -gt "$1" ] && [ "$2" -ge 0 ] && [ "$3" -ge 0 ] && [ $(($2 + $4)) -le $screen_w ] &&
    [ $(($3 + $5)) -le $screen_h ]
}
frame_on_screen() {
  local client_h
  client_h=$(window_size "$win")
  lies_on_screen "${client_h#*x}" $(frame_geometry) && lies_on_screen "${client_h#*x}" $(said_frame)
}
check_frame_on_screen() { # what
  wait_for 5 frame_on_screen ||
    fail "$1: the window with its frame ($(frame_geometry); said: $(said_frame)) does not lie on the ${screen_w}x${screen_h} screen"
}

# Where a frame of 1512 x 1024 is drawn in a client area (as the game letterboxes it): sets the view.
view_in_client() { # WIDTHxHEIGHT
  local w=${1%x*} h=${1#*x}
  if [ $((w * 1024)) -le $((h * 1512)) ]; then
    local shown=$(((2 * 1024 * w + 1512) / (2 * 1512)))
    set_view 0 $(((h - shown) / 2)) "$shown"
  else
    local across=$(((2 * 1512 * h + 1024) / (2 * 1024)))
    set_view $(((w - across) / 2)) 0 "$h"
  fi
}

# ---- no setting.ini: the largest window that fits -----------------------------------------------
mkdir -p "$work/fitting"
ln -s "$assets" "$work/fitting/asset"
start_in_folder fitting "$work/fitting" 512 "$bin"
size=$(window_size "$win")
echo "no setting.ini: the window's client area is $size, with its frame $(frame_geometry)"
[ "$size" = 756x512 ] || fail "no setting.ini: the window is $size, not 756x512 (1134 x 768 leaves no room for a title bar)"
check_frame_on_screen "no setting.ini"
[ "$(tr '\n' ' ' <"$work/fitting/setting.ini")" = "0 0 " ] || fail "setting.ini holds $(cat "$work/fitting/setting.ini")"
close_and_expect_clean_exit "$close_window" "$win" "$pid"

# ---- 1512 x 1024 asked for: scaled down to fit ---------------------------------------------------
launch_game "$bin" "$assets" 2
await_game_window 20
size=$(window_size "$win")
echo "1512 x 1024 asked for: the window's client area is $size, with its frame $(frame_geometry)"
check_frame_on_screen "1512 x 1024 asked for"
view_in_client "$size"
sleep 1
shot lobby
[ "$(unlike_picture lobby lobby 0 0 1512 1024)" -le 6 ] || fail "the lobby is not shown scaled into the ${size} window"
click_at 970 530 # the adventure button, where it is drawn
sleep 7          # eight cards are dealt, 0.6 s each
shot exchange
[ "$(unlike_picture exchange bg 300 420 700 160)" -le 6 ] || fail "no match began: the battle background is not on screen"
[ "$(unlike_picture exchange bg 70 850 500 120)" -ge 8 ] || fail "no cards in the player's hand"
close_and_expect_clean_exit "$close_window" "$win" "$pid"

# ---- 1512 x 1024 asked for under a tall title bar: fitted to the frame the manager says ---------
wm_check() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -o '0x[0-9a-f]*'; }
manager_replaced() { [ -n "$(wm_check)" ] && [ "$(wm_check)" != "$1" ]; }
before=$(wm_check)
sed 's:<size>8</size>:<size>30</size>:' /etc/xdg/openbox/rc.xml >"$work/rc.xml"
openbox --replace --config-file "$work/rc.xml" >>"$work/wm.log" 2>&1 &
pids+=($!)
wait_for 10 manager_replaced "$before" || { fail "openbox with a large title font did not start"; finish; }
mkdir -p "$work/tall"
ln -s "$assets" "$work/tall/asset"
printf '2\n0\n' >"$work/tall/setting.ini"
start_in_folder tall "$work/tall" 1024 "$bin"
check_frame_on_screen "a tall title bar"
echo "a tall title bar: the window's client area is $(window_size "$win"), with its frame $(said_frame)"
read -r _ _ top bottom <<<"$(extents)"
[ $((top + bottom)) -gt 40 ] || fail "the frame takes $((top + bottom)) px of height, no more than the allowance"
close_and_expect_clean_exit "$close_window" "$win" "$pid"
finish
