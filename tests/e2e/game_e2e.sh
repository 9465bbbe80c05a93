#!/usr/bin/env bash
# The real binary without a terminal (standard input and output redirected) in a virtual X
# server, with setting.ini asking for 756 x 512: the window has that size; the lobby shows; a click
# on the adventure button starts a match whose battle screen shows; a card is marked for exchange
# and the exchange is finished by clicking; the turn is ended by clicking and the opponent plays;
# closing the window ends the program with exit code 0. In English (--language en) the buttons
# on the right show their English pictures and setting.ini keeps the choice.
#
# Usage: game_e2e.sh CARDBATTLE CLOSE_WINDOW ASSET_DIR [--resolution N] [--language CODE]
#                    [--screenshot FILE] [--measure-cpu SECONDS]
#   --resolution N    play at resolution N (0, 1 or 2) instead of 0
#   --language CODE   start the game with --language=CODE (en or zh)
#   --screenshot FILE keep the battle screen of the player's second turn, with the first hand
#                     card's large view under the pointer, as FILE
#   --measure-cpu S   also measure the CPU the game uses over S seconds while the lobby waits and
#                     while the player's turn waits, and the time from the press on the adventure
#                     button to the first battle frame on screen
set -u
. "$(dirname "$0")/lib.sh"
bin=$(realpath "$1")
close_window=$(realpath "$2")
assets=$(realpath "$3")
shift 3
resolution=0 screenshot="" measure=0 language=""
while [ $# -gt 0 ]; do
  case "$1" in
    --resolution) resolution=$2; shift 2 ;;
    --language) language=$2; game_options=("--language=$language"); shift 2 ;;
    --screenshot) screenshot=$2; shift 2 ;;
    --measure-cpu) measure=$2; shift 2 ;;
    *) echo "unknown option $1"; exit 2 ;;
  esac
done
require Xvfb xdotool xwininfo import convert compare
start_xvfb 1600x1200

start_game "$bin" "$assets" "$resolution"

# ---- the lobby ------------------------------------------------------------------------------
check_lobby_without_launcher 1
if [ "$measure" -gt 0 ]; then
  xdotool mousemove --window "$win" "$(px 300)" "$(px 300)"
  echo "CPU while the lobby waits: $(cpu_percent "$measure") % of one core"
fi

# ---- a match: the opening exchange ------------------------------------------------------------
xdotool mousemove --window "$win" "$(px 970)" "$(px 530)"
sleep 0.2
if [ "$measure" -gt 0 ]; then
  # The first battle frame: a patch of sky in the lobby's top left corner changes.
  "$(dirname "$bin")/tests/e2e/e2e_frame_watch" "$win" 0 0 16 16 5000 >"$work/watch.txt" &
  wait_for 5 grep -q watching "$work/watch.txt"
fi
pressed=$(date +%s%N)
xdotool click 1
if [ "$measure" -gt 0 ]; then
  wait_for 6 bash -c "[ \$(wc -l <'$work/watch.txt') -ge 2 ]"
  shown=$(tail -n 1 "$work/watch.txt")
  echo "From the press on the adventure button to the first battle frame on screen: $(((shown - pressed) / 1000000)) ms"
fi
sleep 7 # eight cards are dealt, 0.6 s each
shot exchange
[ "$(differing lobby exchange 0 0 1512 1024)" -ge 50 ] || fail "the screen did not change from the lobby"
[ "$(unlike_picture exchange bg 300 420 700 160)" -le 6 ] || fail "the battle background is not on screen"
[ "$(unlike_picture exchange bg 70 850 500 120)" -ge 8 ] || fail "no cards in the player's hand"

click_at 111 906 # the first hand card: marked for exchange
shot marked
[ "$(differing exchange marked 70 850 82 112)" -ge 5 ] || fail "the clicked card was not marked"
click_at 1221 512 # the exchange-done button
sleep 3
shot turn1
[ "$(differing marked turn1 1132 448 178 128)" -ge 20 ] || fail "the exchange button did not give way to the end-turn button"
if [ "$language" = en ]; then
  # The end-turn button carries words: its English picture is the one on screen.
  english=$(unlike_placed turn1 en/et 1132 448 178 128) chinese=$(unlike_placed turn1 et 1132 448 178 128)
  [ "$english" -lt "$chinese" ] && [ "$english" -le 12 ] ||
    fail "the end-turn button is not the English one (unlike it: $english %, unlike the Chinese: $chinese %)"
fi

# ---- the first turn ends; the opponent plays ---------------------------------------------------
if [ "$measure" -gt 0 ]; then
  xdotool mousemove --window "$win" "$(px 700)" "$(px 500)"
  echo "CPU while the player's turn waits: $(cpu_percent "$measure") % of one core"
fi
click_at 1221 512 # end the turn
sleep 5
shot turn2
[ "$(differing turn1 turn2 205 310 100 100)" -ge 20 ] || fail "the opponent put no minion in its first place"
[ "$(differing turn1 turn2 0 400 120 300)" -ge 1 ] || fail "the player's mana did not grow"
if [ -n "$screenshot" ]; then
  xdotool mousemove --window "$win" "$(wx 111)" "$(wy 906)"
  sleep 0.5
  shot shown
  cp "$work/shown.png" "$screenshot"
fi

# ---- closing the window ends the program ----------------------------------------------------
close_and_expect_clean_exit "$close_window" "$win" "$pid"
if [ "$language" = en ]; then
  grep -q ", in English" "$run/err.txt" || fail "standard error does not say the game is in English: $(cat "$run/err.txt")"
  [ "$(sed -n 3p "$run/setting.ini")" = en ] || fail "setting.ini does not keep English: $(cat "$run/setting.ini")"
fi
finish
