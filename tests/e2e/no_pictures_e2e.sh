#!/usr/bin/env bash
# The real binary with no pictures anywhere: a copy of it with nothing beside it, started without
# a terminal from an empty folder in a virtual X server. The window shows text on black instead of
# the lobby, the diagnostic on standard error is still written, and closing the window ends the
# program with exit code 0.
# Usage: no_pictures_e2e.sh CARDBATTLE CLOSE_WINDOW ASSET_DIR (the baked pictures, for comparison)
set -u
. "$(dirname "$0")/lib.sh"
bin=$(realpath "$1")
close_window=$(realpath "$2")
assets=$(realpath "$3")
require Xvfb xdotool xwininfo import convert compare
start_xvfb 1280x1024 # no setting.ini: the largest window that fits, 1134 x 768

mkdir -p "$work/bin" "$work/empty"
cp "$bin" "$work/bin/cardbattle"
start_in_folder game "$work/empty" 768 "$work/bin/cardbattle"
[ "$(window_size "$win")" = 1134x768 ] || fail "the window is $(window_size "$win"), not 1134x768"
sleep 1
shot message

# Text: bright pixels, not many of them, spread over several lines in the middle of the window.
bright=$(convert "$work/message.png" -colorspace Gray -threshold 50% -format '%[fx:int(10000*mean)]' info:)
[ "$bright" -ge 30 ] && [ "$bright" -le 1500 ] || fail "bright pixels make up $bright / 10000 of the window: no text"
inked=$(convert "$work/message.png" -colorspace Gray -threshold 50% -format '%@' info:)
inked_height=$(echo "$inked" | sed -E 's/^[0-9]+x([0-9]+).*/\1/')
[ "$inked_height" -ge 150 ] || fail "the text covers $inked ($inked_height rows): not several lines"
[ "$(unlike_picture message lobby 0 0 1512 1024)" -ge 25 ] || fail "the lobby picture is on screen"

grep -q "no pictures are loaded" "$work/game.err" || fail "no word on standard error about the missing pictures"
grep -q "$work/bin/asset" "$work/game.err" || fail "standard error does not say where pictures were looked for"
close_and_expect_clean_exit "$close_window" "$win" "$pid"
[ -z "$(ls -A "$work/empty" | grep -vx setting.ini)" ] || fail "the program left more than setting.ini in its folder"
finish
