#!/usr/bin/env bash
# The Windows release under Wine in a virtual X server:
#  1. the zip unpacked in an empty folder holds the program, its pictures and the README and no DLL;
#     its --version and --help answer on standard output, an unknown option ends with exit code 2;
#     with no display the window cannot be created: standard error says why, exit code 1;
#  2. with setting.ini asking for 756 x 512 and no console (standard input and output redirected)
#     the window has that size and shows the lobby;
#  3. resized to 1512 x 1024 the window shows the lobby doubled, and a click where the adventure
#     button is drawn now starts a match whose battle screen shows;
#  4. under a window manager, F11 makes the window fill the screen with the frame scaled and black
#     bars above and below; a click on a hand card, where it is drawn, marks it; F11 again gives
#     the window its size back;
#  5. closing the window ends the program with exit code 0.
#
# Usage: windows_e2e.sh ZIP CLOSE_WINDOW WINE_RUN [--screenshot FILE] [--measure-cpu SECONDS]
#   --screenshot FILE keep the battle screen as FILE
#   --measure-cpu S   also measure the CPU the game and the Wine server use together over S seconds
#                     while the lobby waits, the pointer away from the window and over it
set -u
. "$(dirname "$0")/lib.sh"
zip=$(realpath "$1")
close_window=$(realpath "$2")
wine_run=$(realpath "$3")
shift 3
measure=0 screenshot=""
while [ $# -gt 0 ]; do
  case "$1" in
    --screenshot) screenshot=$2; shift 2 ;;
    --measure-cpu) measure=$2; shift 2 ;;
    *) echo "unknown option $1"; exit 2 ;;
  esac
done
require Xvfb xdotool xwininfo xprop import convert compare evilwm wine cmake
screen_w=1600 screen_h=1200
start_xvfb ${screen_w}x${screen_h}

# A Wine prefix of this run's own, started with the display that its desktop process will use.
export CARDBATTLE_WINE_PREFIX_FILE="$work/wine-prefix"
"$wine_run" --start-prefix "$CARDBATTLE_WINE_PREFIX_FILE"
trap '"$wine_run" --stop-prefix "$CARDBATTLE_WINE_PREFIX_FILE"; cleanup' EXIT

# ---- the zip ----------------------------------------------------------------------------------
run="$work/run"
mkdir -p "$run"
(cd "$run" && cmake -E tar xf "$zip") || fail "the zip does not unpack"
for f in cardbattle.exe asset/size.ini asset/content.ini README.txt; do
  [ -f "$run/$f" ] || fail "no $f in the zip"
done
[ -z "$(find "$run" -iname '*.dll')" ] || fail "DLLs in the zip: $(find "$run" -iname '*.dll')"
assets="$run/asset"

# ---- the command line ---------------------------------------------------------------------------
version=$("$wine_run" "$run/cardbattle.exe" --version)
code=$?
version=${version%$'\r'}
[ $code = 0 ] && [[ "$version" =~ ^cardbattle\ [0-9]+\.[0-9]+\.[0-9]+$ ]] ||
  fail "cardbattle.exe --version ended with exit code $code and printed '$version'"
"$wine_run" "$run/cardbattle.exe" --help | tr -d '\r' | grep -q "^Usage: cardbattle" || fail "cardbattle.exe --help printed no usage"
"$wine_run" "$run/cardbattle.exe" --fullscreen >/dev/null 2>"$work/refused.txt"
code=$?
[ $code = 2 ] && grep -q "unknown option '--fullscreen'" "$work/refused.txt" ||
  fail "an unknown option ended with exit code $code and said: $(cat "$work/refused.txt")"

# ---- no display: no window -----------------------------------------------------------------------
(cd "$run" && exec env -u DISPLAY timeout 60 "$wine_run" ./cardbattle.exe </dev/null >/dev/null 2>"$work/no-display.txt")
code=$?
[ $code = 1 ] && grep -q "^cardbattle: cannot open the game window: " "$work/no-display.txt" ||
  fail "with no display cardbattle.exe ended with exit code $code and said: $(tr -d '\r' <"$work/no-display.txt")"

# ---- the lobby at the saved size ----------------------------------------------------------------
printf '0\r\n0\r\n' >"$run/setting.ini"
width=756 height=512
(cd "$run" && exec "$wine_run" ./cardbattle.exe </dev/null >"$run/out.txt" 2>"$run/err.txt") &
pid=$!
pids+=($pid)
await_game_window 60
check_lobby_without_launcher 2

if [ "$measure" -gt 0 ]; then
  # The game's own process and the Wine server of this prefix, in percent of one core together.
  prefix=$(cat "$CARDBATTLE_WINE_PREFIX_FILE")
  of_prefix() { for p in $(pgrep -f "$1"); do tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$prefix" && echo "$p"; done; }
  game=$(of_prefix 'cardbattle[.]exe' | head -n 1) server=$(of_prefix wineserver | head -n 1)
  together() { echo $(($(cpu_ticks "$game") + $(cpu_ticks "$server"))); }
  lobby_cpu() {
    local t0 t1 hz
    hz=$(getconf CLK_TCK)
    t0=$(together)
    sleep "$measure"
    t1=$(together)
    awk -v d=$((t1 - t0)) -v hz="$hz" -v s="$measure" 'BEGIN { printf "%.2f", 100 * d / hz / s }'
  }
  # Wine's own services are busy for some seconds after the start.
  xdotool mousemove 1590 1190
  sleep 8
  echo "CPU while the lobby waits, the pointer away from the window: $(lobby_cpu) % of one core (game and Wine server)"
  xdotool mousemove --window "$win" "$(px 300)" "$(px 300)"
  sleep 1
  echo "CPU while the lobby waits, the pointer over it: $(lobby_cpu) % of one core (game and Wine server)"
fi

# ---- resized to twice its size; a match ----------------------------------------------------------
stretch_lobby_twice
click_at 970 530 # the adventure button, where it is drawn now
sleep 7          # eight cards are dealt, 0.6 s each
shot battle
[ "$(differing stretched battle 0 0 1512 1024)" -ge 50 ] || fail "the screen did not change from the lobby"
[ "$(unlike_picture battle bg 300 420 700 160)" -le 6 ] || fail "the battle background is not on screen"
[ "$(unlike_picture battle bg 70 850 500 120)" -ge 8 ] || fail "no cards in the player's hand"
[ -n "$screenshot" ] && cp "$work/battle.png" "$screenshot"

# ---- fullscreen --------------------------------------------------------------------------------
fullscreen_round_trip $screen_w $screen_h

# ---- closing the window ends the program ----------------------------------------------------
close_and_expect_clean_exit "$close_window" "$win" "$pid"
finish
