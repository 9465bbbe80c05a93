# Shared by the end-to-end scripts: a virtual X server of their own, waiting, failures, clean-up.
# Source it after setting nothing; it sets SKIP, work, pids, failures and DISPLAY.
SKIP=77
failures=0
pids=()
work=$(mktemp -d /tmp/cardbattle-e2e.XXXXXX)

cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Skips the test when a tool it needs is missing.
require() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit $SKIP; }
  done
}

# Starts Xvfb with a screen of the given size on a free display and exports DISPLAY; skips the
# test when no X server can be started.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "${1:-1920x1080}x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  local xvfb=$!
  pids+=($xvfb)
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$work/display" ]; then
    echo "SKIP: no X server could be started"
    cat "$work/xvfb.log"
    exit $SKIP
  fi
  export DISPLAY=":$(cat "$work/display")"
}

wait_for() { # seconds, then a command that succeeds when ready
  local limit=$(($1 * 10)); shift
  for _ in $(seq "$limit"); do "$@" && return 0; sleep 0.1; done
  return 1
}
window_named() { xdotool search --name "$1" 2>/dev/null | head -n 1; }
has_window() { [ -n "$(window_named "$1")" ]; }
window_size() { xwininfo -id "$1" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'; }

# CPU time (user + system) of a process, in clock ticks.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null; }

# Closes the window as a window manager's close button does; the program must end with code 0.
close_and_expect_clean_exit() { # close_window tool, window, pid
  "$1" "$2"
  wait_for 10 bash -c "! kill -0 $3 2>/dev/null" || fail "still running after its window was closed"
  wait "$3"
  local code=$?
  [ "$code" = 0 ] || fail "exit code $code after the window was closed"
}

# ---- xterm ----------------------------------------------------------------------------------
# Window operations allowed (the launcher resizes the terminal), a red cursor (found in
# screenshots), and F12 writing the text of the screen in use to a file.
xterm_options=(-xrm 'XTerm*allowWindowOps: true' -xrm 'XTerm*cursorColor: red'
  -xrm 'XTerm*VT100.translations: #override <Key>F12: print-immediate()'
  -xrm "XTerm*printFileImmediate: $work/screen" -xrm 'XTerm*printOptsImmediate: 1')

# Writes the text an xterm started with xterm_options shows to a file.
screen_text() { # window, file
  xdotool windowfocus --sync "$1"
  xdotool key F12
  if ! wait_for 5 bash -c "compgen -G '$work/screen*' >/dev/null"; then
    fail "xterm wrote no text of its screen"
    : >"$2"
    return 1
  fi
  sleep 0.1 # written at once, but let it be closed
  mv "$work"/screen* "$2"
}

# The cell "row col" where an xterm started with xterm_options shows its cursor (from a
# screenshot), "none" when it shows none.
cursor_cell() { # window, cell width, cell height
  import -window "$1" "$work/cursor.png"
  convert "$work/cursor.png" -fill black +opaque red -format '%@' info: |
    awk -F'[x+]' -v w="$2" -v h="$3" '{ if ($1 == 0) print "none"; else print int(($4 - 2) / h) + 1, int(($3 - 2) / w) + 1 }'
}

finish() {
  if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
  exit 0
}
