#!/usr/bin/env bash
# The real binary in xterm under a virtual X server, run several times from one shell (with job
# control, as a player's shell has it), one round per way in or out. The xterm honours size
# requests and starts at 100 x 20, so the launcher changes its width only, to 60 x 20. After every
# round the terminal must be as before: same stty settings (its size of 100 x 20 and its echo among
# them), no mouse reporting, cursor shown, the main screen, default colours, the shell's title.
#  - Ctrl-C, SIGTERM, a hang-up (SIGHUP), a crash (SIGSEGV), SIGUSR1, SIGPIPE, SIGALRM and a real-time signal on the
#    launcher screen: the process dies by that signal, and writes no setting.ini.
#  - Ctrl-Z at the launcher: the shell has a sane terminal and its own screen; fg brings the
#    launcher back, drawn whole.
#  - Click the second resolution and then Start: the game window opens at 1134 x 768, setting.ini
#    holds the choice; keys typed into the terminal while the game runs never reach the shell and
#    never show on its screen; once the window is closed the shell's screen is as it was before
#    the launcher.
#  - Enter at the launcher, then Ctrl-C in the terminal while the game window is open: the keys
#    typed meanwhile show nowhere, and the terminal is given back as after a normal end.
#  - The launcher with no display for the game window (DISPLAY unset): Enter, and the program says
#    why on standard error and ends with status 1, the terminal given back.
#  - A program that moves the shown cursor without writing: the terminal shows it there.
# Usage: launcher_e2e.sh CARDBATTLE CLOSE_WINDOW CURSOR_CHECK ASSET_DIR [--measure-cpu SECONDS]
# With --measure-cpu the launcher is left waiting that long first, and the CPU time it and xterm
# used meanwhile is printed.
set -u
. "$(dirname "$0")/lib.sh"
bin=$(realpath "$1")
close_window=$(realpath "$2")
cursor_check=$(realpath "$3")
assets=$(realpath "$4")
measure=0
if [ "${5:-}" = --measure-cpu ]; then measure=${6:-10}; fi

require Xvfb xterm xdotool xwininfo import convert
start_xvfb 1920x1080

signals=(ctrl-c TERM HUP SEGV USR1 PIPE ALRM RTMIN+3)
rounds=("${signals[@]}" ctrl-z start game-ctrl-c no-display cursor)

# ---- the shell inside xterm -------------------------------------------------------------------
# One round: the program as a job of a shell with job control, as a player's shell runs it, then
# the terminal's state. (A shell that loops over rounds itself would break its loop when a job
# dies of Ctrl-C, so each round has a shell of its own.)
cat >"$work/round.sh" <<'EOF'
set -m
trap : INT # a game that dies of Ctrl-C must not end this shell too
# The terminal's state into $1.stty and $1.modes: xterm's answers about cursor 25, mouse 1000,
# 1002, 1003, 1006 and the alternate screen 1049 (1 set, 2 reset), the colours in force and the
# title. Keys typed and not discarded would come first.
report() {
  # xterm answers a size request once its window has the new size: give it a moment.
  for _ in $(seq 20); do [ "$(stty size)" = "$(cat ../size.txt)" ] && break; sleep 0.1; done
  stty -a >"$1.stty"
  stty -icanon -echo min 0 time 3
  printf '\033[?25$p\033[?1000$p\033[?1002$p\033[?1003$p\033[?1006$p\033[?1049$p\033P$qm\033\\\033[21t'
  cat >"$1.modes"
  stty "$(cat ../saved.txt)"
}
cd "$RUN/$1"
program=("$BIN")
[ "$1" = cursor ] && program=("$CURSOR_CHECK")
[ "$1" = no-display ] && program=(env -u DISPLAY -u WAYLAND_DISPLAY "$BIN")
bash -c 'echo $$ >pid.txt; exec "$@"' bash "${program[@]}" 2>stderr.txt
rc=$?
if [ $rc = 148 ]; then # stopped
  report stopped
  : >stopped.txt
  until [ -e go-on ]; do sleep 0.1; done
  fg >/dev/null
  rc=$?
fi
echo $rc >rc.txt
report after
: >done.txt
# The test may want to look at the shell's screen before the next round.
while [ -e hold ]; do sleep 0.1; done
EOF
cat >"$work/inner.sh" <<'EOF'
cd "$RUN"
until [ -e go ]; do sleep 0.1; done # the test measures the terminal first
stty -g >saved.txt
stty -a >before.txt
stty size >size.txt
echo "shell text before the game"
for round in $ROUNDS; do bash "$(dirname "$0")/round.sh" "$round"; done
EOF

xterm_ready=no
# Starts xterm at 100 x 20 with the rounds; sets term_win, cell_w, cell_h.
start_xterm() {
  local attempt r
  for r in "${rounds[@]}"; do
    mkdir -p "$work/run/$r"
    ln -s "$assets" "$work/run/$r/asset"
  done
  # A loaded machine now and then refuses xterm its display connection: try once more.
  # As a background job of this script xterm would get SIGINT and SIGQUIT ignored and hand that
  # on to the game, which keeps signals it finds ignored (as under nohup): start it with none.
  for attempt in 1 2; do
    RUN=$work/run BIN=$bin CURSOR_CHECK=$cursor_check ROUNDS="${rounds[*]}" env --default-signal \
      xterm -geometry 100x20 -T shell "${xterm_options[@]}" -e bash "$work/inner.sh" &
    xterm_pid=$!
    pids+=($xterm_pid)
    if wait_for 20 has_window '^shell$'; then xterm_ready=yes; break; fi
    kill "$!" 2>/dev/null
  done
  [ $xterm_ready = yes ] || { fail "xterm never showed its window"; return 1; }
  term_win=$(window_named '^shell$')
  local w h
  w=$(xwininfo -id "$term_win" | awk '/Width:/ {print $2}')
  h=$(xwininfo -id "$term_win" | awk '/Height:/ {print $2}')
  # 100 x 20 cells inside xterm's border of 2 pixels.
  cell_w=$(((w - 4) / 100))
  cell_h=$(((h - 4) / 20))
  : >"$work/run/go"
  wait_for 20 has_window '^Game Launcher$' || { fail "the launcher never set its title"; return 1; }
}

# Waits until round $1's program has set its title $2; sets run and pid.
round_started() {
  run="$work/run/$1"
  kill -0 "$xterm_pid" 2>/dev/null || { fail "xterm is gone before round $1"; finish; }
  wait_for 20 test -s "$run/pid.txt" && wait_for 20 has_window "^$2\$" || { fail "$1: the program never started"; return 1; }
  pid=$(cat "$run/pid.txt")
}

# Waits for the end of the round; the program is killed if it does not end.
round_ended() {
  if ! wait_for 20 test -f "$run/done.txt"; then
    fail "$round did not end the program"
    kill -KILL "$pid" 2>/dev/null
    wait_for 10 test -f "$run/done.txt"
    return 1
  fi
}

# Waits for the end of the round: the program must end with the status given, and the terminal be
# given back.
round_ended_with() { # status, what ended it
  round_ended || return 1
  local rc
  rc=$(cat "$run/rc.txt")
  [ "$rc" = "$1" ] || fail "$2: the program ended with status $rc, not $1"
  check_given_back "$2" "$run/after"
  return 0
}

# Moves the pointer to the middle of cell (row, col) of the launcher and clicks.
click_cell() {
  local x=$((2 + ($2 - 1) * cell_w + cell_w / 2)) y=$((2 + ($1 - 1) * cell_h + cell_h / 2))
  xdotool mousemove --window "$term_win" "$x" "$y"
  sleep 0.3
  xdotool click 1
  sleep 0.5
}

check_given_back() { # what, state file prefix
  local what=$1 state=$2
  if ! cmp -s "$work/run/before.txt" "$state.stty"; then
    fail "$what: stty settings differ"
    diff "$work/run/before.txt" "$state.stty"
  fi
  local modes expected
  modes=$(tr -d '\033' <"$state.modes")
  expected='[?25;1$y[?1000;2$y[?1002;2$y[?1003;2$y[?1006;2$y[?1049;2$yP1$r0m\]lshell\'
  [ "$modes" = "$expected" ] ||
    fail "$what: the terminal answers '$modes', not '$expected' (cursor shown, no mouse reporting, main screen, plain colours, the shell's title, nothing typed left over)"
}

check_screen() { # what, screen text file, text that must show, text that must not
  grep -qF "$3" "$2" || fail "$1: '$3' is not on the screen"
  [ -z "$4" ] || ! grep -qF "$4" "$2" || fail "$1: '$4' is on the screen"
}

# Enter at the launcher: it starts the game.
press_enter() {
  xdotool windowfocus --sync "$term_win"
  xdotool key Return
}

# While the game window is open: types a command into the terminal, which must show it nowhere (the
# terminal's text goes to the file).
typed='echo typed while the game ran'
type_into_terminal() { # screen text file
  xdotool windowfocus --sync "$term_win"
  xdotool type --delay 20 "$typed"
  sleep 0.3
  screen_text "$term_win" "$1"
  grep -qF "$typed" "$1" && fail "$round: the keys typed while the game ran show on the terminal"
}

signal_number() { kill -l "${1#ctrl-c}" 2>/dev/null || echo 2; }

start_xterm || finish

# ---- signals on the launcher screen --------------------------------------------------------------
for round in "${signals[@]}"; do
  round_started "$round" 'Game Launcher' || continue
  sleep 0.2
  case $round in
    ctrl-c)
      # No window manager here: give xterm the keyboard focus by hand.
      xdotool windowfocus --sync "$term_win"
      xdotool key ctrl+c ;;
    *) kill -s "$round" "$pid" ;;
  esac
  round_ended_with $((128 + $(signal_number "$round"))) "$round" || continue
  [ ! -e "$run/setting.ini" ] || fail "$round: an interrupted launcher wrote setting.ini"
done

# ---- Ctrl-Z and fg ------------------------------------------------------------------------------
round=ctrl-z
if round_started $round 'Game Launcher'; then
  sleep 0.7 # let the screen be drawn
  xdotool windowfocus --sync "$term_win"
  xdotool key ctrl+z
  if wait_for 10 test -f "$run/stopped.txt"; then
    check_given_back "stopped by Ctrl-Z" "$run/stopped"
    screen_text "$term_win" "$run/stopped.screen"
    check_screen "stopped by Ctrl-Z" "$run/stopped.screen" "shell text before the game" "Game Launcher - Settings"
    : >"$run/go-on"
    if wait_for 10 has_window '^Game Launcher$'; then
      sleep 0.5
      screen_text "$term_win" "$run/continued.screen"
      for text in "Game Launcher - Settings" "Set Resolution" "1024 * 1512" "Debug Mode" "Start"; do
        check_screen "brought back by fg" "$run/continued.screen" "$text" "shell text before the game"
      done
    else
      fail "fg did not bring the launcher back"
    fi
    kill -TERM "$pid"
  else
    fail "Ctrl-Z did not stop the launcher"
    kill -TERM "$pid"
  fi
  round_ended_with 143 "SIGTERM after fg"
fi

# ---- click the second row, then Start; type into the terminal while the game runs -------------
round=start
: >"$work/run/$round/hold"
if round_started $round 'Game Launcher'; then
  if [ "$measure" -gt 0 ]; then
    term_pid=$(xdotool getwindowpid "$term_win")
    hz=$(getconf CLK_TCK)
    xdotool mousemove --window "$term_win" 10 10
    sleep 1
    g0=$(cpu_ticks "$pid"); t0=$(cpu_ticks "$term_pid")
    sleep "$measure"
    g1=$(cpu_ticks "$pid"); t1=$(cpu_ticks "$term_pid")
    awk -v g=$((g1 - g0)) -v t=$((t1 - t0)) -v hz="$hz" -v s="$measure" 'BEGIN {
      printf "CPU over %d s while the launcher waits: cardbattle %.2f %% of one core, xterm %.2f %%\n",
             s, 100 * g / hz / s, 100 * t / hz / s }'
  fi
  sleep 0.7
  click_cell 8 10  # the second row, "768 * 1134"
  click_cell 16 29 # Start
  if wait_for 20 has_window '^cardbattle$'; then
    game_win=$(window_named '^cardbattle$')
    size=$(window_size "$game_win")
    echo "game window: $size"
    [ "$size" = 1134x768 ] || fail "game window is $size, not 1134x768"
    settings=$(tr '\n' ' ' <"$run/setting.ini" 2>/dev/null)
    [ "$settings" = "1 0 " ] || fail "setting.ini holds '$settings', not '1 0 '"
    type_into_terminal "$run/during.screen"
    "$close_window" "$game_win"
  else
    fail "the game window never opened"
    cat "$run/stderr.txt" 2>/dev/null
    kill -TERM "$pid"
  fi
  if round_ended_with 0 "window closed"; then
    screen_text "$term_win" "$run/after.screen"
    check_screen "after the game" "$run/after.screen" "shell text before the game" "Game Launcher - Settings"
    check_screen "after the game" "$run/after.screen" "shell text before the game" "$typed"
  fi
fi
rm -f "$work/run/$round/hold"

# ---- Enter, then Ctrl-C in the terminal while the game window is open ------------------------
round=game-ctrl-c
if round_started $round 'Game Launcher'; then
  sleep 0.7
  press_enter
  if wait_for 20 has_window '^cardbattle$'; then
    type_into_terminal "$run/during.screen"
    xdotool key ctrl+c
  else
    fail "$round: the game window never opened"
    kill -TERM "$pid"
  fi
  round_ended_with 130 "Ctrl-C in the game's time" && has_window '^cardbattle$' && fail "the game window outlived the program"
fi

# ---- no display for the game window ---------------------------------------------------------
round=no-display
if round_started $round 'Game Launcher'; then
  sleep 0.7
  press_enter
  if round_ended_with 1 "no display"; then
    grep -q "^cardbattle: cannot open the game window: there is no graphical display here" "$run/stderr.txt" ||
      fail "with no display standard error says: $(cat "$run/stderr.txt")"
  fi
fi

# ---- the cursor after a move ----------------------------------------------------------------
round=cursor
if round_started $round 'Cursor Check'; then
  sleep 0.3
  cell=$(cursor_cell "$term_win" "$cell_w" "$cell_h")
  echo "cursor shown at: $cell"
  [ "$cell" = "5 7" ] || fail "the terminal shows the cursor at '$cell', not at row 5, column 7"
  kill -TERM "$pid"
  round_ended_with 143 "cursor check ended by SIGTERM"
fi

finish
