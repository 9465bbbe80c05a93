#!/usr/bin/env bash
# The real binary in xterm under a virtual X server.
#  1. Click the second resolution and then Start: the game window opens at 1134 x 768,
#     setting.ini holds the choice, and once the window is closed the terminal is as before
#     (same stty settings, no mouse reporting, cursor shown).
#  2. Ctrl-C, SIGTERM or a crash (SIGSEGV) on the launcher screen: the terminal is given back
#     all the same.
# Usage: launcher_e2e.sh CARDBATTLE CLOSE_WINDOW ASSET_DIR [--measure-cpu SECONDS]
# With --measure-cpu the launcher is left waiting that long first, and the CPU time it and xterm
# used meanwhile is printed.
set -u
. "$(dirname "$0")/lib.sh"
bin=$(realpath "$1")
close_window=$(realpath "$2")
assets=$(realpath "$3")
measure=0
if [ "${4:-}" = --measure-cpu ]; then measure=${5:-10}; fi

require Xvfb xterm xdotool xwininfo
start_xvfb 1920x1080

# ---- the shell inside xterm: runs the game, then records the terminal's state -----------------
cat >"$work/inner.sh" <<'EOF'
#!/usr/bin/env bash
cd "$RUN"
trap : INT # a Ctrl-C meant for the game must not end this shell too (the game gets the default)
stty -g >saved.txt
stty -a >before.txt
bash -c 'echo $$ >pid.txt; exec "$0"' "$BIN" 2>stderr.txt
echo $? >rc.txt
stty -a >after.txt
# Ask xterm which modes are set: 1 set, 2 reset (cursor 25; mouse 1000, 1002, 1003, 1006).
stty -icanon -echo min 0 time 10
printf '\033[?25$p\033[?1000$p\033[?1002$p\033[?1003$p\033[?1006$p'
cat >modes.txt
stty "$(cat saved.txt)"
echo done >done.txt
EOF

# Starts xterm with the game in run folder $1; sets term_win, cell_w, cell_h.
start_in_xterm() {
  local run=$1
  mkdir -p "$run"
  ln -s "$assets" "$run/asset"
  local attempt started=no
  # A loaded machine now and then refuses xterm its display connection: try once more.
  for attempt in 1 2; do
    RUN=$run BIN=$bin xterm -geometry 60x20 -xrm 'XTerm*allowWindowOps: true' -e bash "$work/inner.sh" &
    pids+=($!)
    if wait_for 20 has_window '^Game Launcher$'; then started=yes; break; fi
    kill "$!" 2>/dev/null
  done
  if [ $started = no ]; then
    fail "the launcher never set its title"
    return 1
  fi
  term_win=$(window_named '^Game Launcher$')
  local w h
  w=$(xwininfo -id "$term_win" | awk '/Width:/ {print $2}')
  h=$(xwininfo -id "$term_win" | awk '/Height:/ {print $2}')
  # 60 x 20 cells inside xterm's border of 2 pixels.
  cell_w=$(((w - 4) / 60))
  cell_h=$(((h - 4) / 20))
  sleep 1 # let the screen be drawn
}

# Moves the pointer to the middle of cell (row, col) of the launcher and clicks.
click_cell() {
  local x=$((2 + ($2 - 1) * cell_w + cell_w / 2)) y=$((2 + ($1 - 1) * cell_h + cell_h / 2))
  xdotool mousemove --window "$term_win" "$x" "$y"
  sleep 0.3
  xdotool click 1
  sleep 0.5
}

check_terminal_given_back() { # run folder
  local run=$1
  if ! cmp -s "$run/before.txt" "$run/after.txt"; then
    fail "stty settings differ after the game"
    diff "$run/before.txt" "$run/after.txt"
  fi
  local modes
  modes=$(tr -d '\033' <"$run/modes.txt")
  echo "modes reported by xterm: $modes"
  case "$modes" in *'[?25;1$y'*) ;; *) fail "cursor not shown after the game" ;; esac
  for m in 1000 1002 1003 1006; do
    case "$modes" in *"[?$m;2\$y"*) ;; *) fail "mouse mode $m not reset after the game" ;; esac
  done
}

# ---- 1. click the second row, then Start -------------------------------------------------------
run1="$work/run1"
if start_in_xterm "$run1"; then
  if [ "$measure" -gt 0 ]; then
    game_pid=$(cat "$run1/pid.txt")
    term_pid=$(xdotool getwindowpid "$term_win")
    hz=$(getconf CLK_TCK)
    xdotool mousemove --window "$term_win" 10 10
    sleep 1
    g0=$(cpu_ticks "$game_pid"); t0=$(cpu_ticks "$term_pid")
    sleep "$measure"
    g1=$(cpu_ticks "$game_pid"); t1=$(cpu_ticks "$term_pid")
    awk -v g=$((g1 - g0)) -v t=$((t1 - t0)) -v hz="$hz" -v s="$measure" 'BEGIN {
      printf "CPU over %d s while the launcher waits: cardbattle %.2f %% of one core, xterm %.2f %%\n",
             s, 100 * g / hz / s, 100 * t / hz / s }'
  fi
  click_cell 8 10   # the second row, "768 * 1134"
  click_cell 16 29  # Start
  if wait_for 20 has_window '^cardbattle$'; then
    game_win=$(window_named '^cardbattle$')
    size=$(window_size "$game_win")
    echo "game window: $size"
    [ "$size" = 1134x768 ] || fail "game window is $size, not 1134x768"
    settings=$(tr '\n' ' ' <"$run1/setting.ini" 2>/dev/null)
    [ "$settings" = "1 0 " ] || fail "setting.ini holds '$settings', not '1 0 '"
    "$close_window" "$game_win"
  else
    fail "the game window never opened"
    cat "$run1/stderr.txt" 2>/dev/null
  fi
  if wait_for 20 test -f "$run1/done.txt"; then
    [ "$(cat "$run1/rc.txt")" = 0 ] || fail "the game ended with status $(cat "$run1/rc.txt") after its window was closed"
    check_terminal_given_back "$run1"
  else
    fail "the game did not end when its window was closed"
  fi
fi

# ---- 2. Ctrl-C, a termination request or a crash while the launcher is up -------------------
for way in ctrl-c TERM SEGV; do
  run="$work/run-$way"
  start_in_xterm "$run" || continue
  case $way in
    ctrl-c)
      # No window manager here: give xterm the keyboard focus by hand.
      xdotool windowfocus --sync "$term_win"
      xdotool key ctrl+c
      expected=130 ;;
    TERM) kill -TERM "$(cat "$run/pid.txt")"; expected=143 ;;
    SEGV) kill -SEGV "$(cat "$run/pid.txt")"; expected=139 ;;
  esac
  if wait_for 20 test -f "$run/done.txt"; then
    [ "$(cat "$run/rc.txt")" = $expected ] || fail "$way ended the launcher with status $(cat "$run/rc.txt"), not $expected"
    [ ! -e "$run/setting.ini" ] || fail "$way: an interrupted launcher wrote setting.ini"
    check_terminal_given_back "$run"
  else
    fail "$way did not end the launcher"
  fi
done

finish
