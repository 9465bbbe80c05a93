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
# test when no X server can be started. Never reset: by default the server resets whenever its last
# client leaves, and a program connecting meanwhile (the game asking the desktop's size, while the
# test's short-lived xdotool runs come and go) is refused, as a desktop's server never refuses.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "${1:-1920x1080}x24" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
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
has_size() { [ "$(window_size "$1")" = "$2" ]; } # window, WIDTHxHEIGHT

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

# ---- the game window ---------------------------------------------------------------------------
# Starts the game without a terminal (standard input and output redirected) in $work/run, with
# setting.ini asking for resolution $3 (0, 1 or 2) and the options in game_options; sets run, pid,
# width and height (the frame's size).
game_options=()
launch_game() { # cardbattle asset_dir resolution
  local heights=(512 768 1024) widths=(756 1134 1512)
  height=${heights[$3]} width=${widths[$3]}
  run="$work/run"
  mkdir -p "$run"
  ln -s "$2" "$run/asset"
  printf '%s\n0\n' "$3" >"$run/setting.ini"
  (cd "$run" && exec "$1" "${game_options[@]}" </dev/null >"$run/out.txt" 2>"$run/err.txt") &
  pid=$!
  pids+=($pid)
}
# launch_game, then waits for its window: sets win and the view as well. Ends the test with a
# failure when no window opens.
start_game() { # cardbattle asset_dir resolution
  launch_game "$@"
  await_game_window 20
}
# Waits for the game window of a program started in $run with $height set: sets win and the view.
# Ends the test with a failure when no window opens.
await_game_window() { # seconds
  wait_for "$1" has_window '^cardbattle$' || { fail "the game window never opened"; cat "$run/err.txt"; finish; }
  win=$(window_named '^cardbattle$')
  set_view 0 0 "$height"
}

# The game window has the size setting.ini asked for, the launcher was skipped with a word on
# standard error, and after some seconds the lobby picture is on screen (shot "lobby").
check_lobby_without_launcher() { # seconds
  local size
  size=$(window_size "$win")
  [ "$size" = "${width}x${height}" ] || fail "the window is $size, not ${width}x${height}"
  grep -q "no launcher" "$run/err.txt" || fail "no word on standard error about skipping the launcher"
  sleep "$1"
  shot lobby
  [ "$(unlike_picture lobby lobby 0 0 800 400)" -le 6 ] || fail "the lobby picture is not on screen"
}

# Where the frame is shown in the window: its left and top edge and its height, in window pixels
# (the whole window until the window is stretched). Reference units (1512 x 1024) are drawn at
# height / 1024 pixels each.
set_view() { view_left=$1 view_top=$2 view_height=$3; }
# A length in reference units, in window pixels; a reference point's x or y in window pixels.
px() { awk -v v="$1" -v h="$view_height" 'BEGIN { printf "%d", v * h / 1024 }'; }
wx() { echo $((view_left + $(px "$1"))); }
wy() { echo $((view_top + $(px "$1"))); }
click_at() { # reference x y
  xdotool mousemove --window "$win" "$(wx "$1")" "$(wy "$2")"
  sleep 0.2
  xdotool click 1
  sleep 0.3
}
shot() { import -window "$win" "$work/$1.png"; }
# The geometry of a region of the frame (reference units: x y w h) on the window.
on_window() { echo "$(px "$3")x$(px "$4")+$(wx "$1")+$(wy "$2")"; }
# Share of the pixels of a region (reference units: x y w h) that differ between two screenshots.
differing() {
  local geometry total changed
  geometry=$(on_window "$3" "$4" "$5" "$6")
  convert "$work/$1.png" -crop "$geometry" +repage "$work/a.png"
  convert "$work/$2.png" -crop "$geometry" +repage "$work/b.png"
  total=$(($(px "$5") * $(px "$6")))
  changed=$(compare -metric AE -fuzz 8% "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1)
  awk -v c="$changed" -v t="$total" 'BEGIN { printf "%d", 100 * c / t }'
}
# Root-mean-square difference (percent) between a region of a screenshot and a baked picture
# drawn over it at that region's size, its key colour letting the screenshot through.
unlike_placed() { # shot picture x y w h
  convert "$work/$1.png" -crop "$(on_window "$3" "$4" "$5" "$6")" +repage "$work/s.png"
  convert "$work/s.png" \( "$assets/$2.png" -sample "$(px "$5")x$(px "$6")!" -transparent '#7F7F7F' \) \
    -composite "$work/p.png"
  compare -metric RMSE "$work/s.png" "$work/p.png" null: 2>&1 | sed -E 's/.*\((.*)\).*/\1/' |
    awk '{ printf "%d", 100 * $1 }'
}
# Root-mean-square difference (percent) between a region of a screenshot and the same region of a
# baked picture drawn over the whole frame at the view's size.
unlike_picture() { # shot picture x y w h
  local inside="$(px "$5")x$(px "$6")+$(px "$3")+$(px "$4")"
  convert "$assets/$2.png" -resize "$(px 1512)x$(px 1024)!" -crop "$inside" +repage "$work/p.png"
  convert "$work/$1.png" -crop "$(on_window "$3" "$4" "$5" "$6")" +repage "$work/s.png"
  compare -metric RMSE "$work/s.png" "$work/p.png" null: 2>&1 | sed -E 's/.*\((.*)\).*/\1/' |
    awk '{ printf "%d", 100 * $1 }'
}
# The colour of one window pixel of a screenshot, as "r,g,b".
pixel_at() { # shot x y
  convert "$work/$1.png" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}
# CPU the game ($pid) uses over some seconds, in percent of one core.
cpu_percent() { # seconds
  local t0 t1 hz
  hz=$(getconf CLK_TCK)
  t0=$(cpu_ticks "$pid")
  sleep "$1"
  t1=$(cpu_ticks "$pid")
  awk -v d=$((t1 - t0)) -v hz="$hz" -v s="$1" 'BEGIN { printf "%.2f", 100 * d / hz / s }'
}

# ---- the window stretched (the game window at 756 x 512, the lobby shot as "lobby") ------------
# Resizes the window to 1512 x 1024 at the screen's top left corner (no window manager needed): the
# lobby shows doubled, every frame pixel a block of two by two; a click where the adventure button
# was drawn before the resize does nothing. Leaves the view at the new size and the shot
# "stretched".
stretch_lobby_twice() {
  xdotool windowmove "$win" 0 0 # all of it on the screen, for the screenshots
  xdotool windowsize "$win" 1512 1024
  wait_for 5 has_size "$win" 1512x1024 ||
    fail "the window was not resized to 1512x1024 (it is $(window_size "$win"))"
  sleep 0.5
  set_view 0 0 1024
  shot stretched
  convert "$work/lobby.png" -sample 1512x1024! "$work/doubled.png"
  local changed
  changed=$(compare -metric AE "$work/stretched.png" "$work/doubled.png" null: 2>&1 | cut -d' ' -f1)
  [ "$changed" = 0 ] || fail "the resized window does not show the lobby doubled ($changed pixels differ)"
  # Where the button was drawn before the resize is lobby sky now.
  xdotool mousemove --window "$win" 485 265
  sleep 0.3
  xdotool click 1
  sleep 1.5
  shot still_lobby
  [ "$(differing stretched still_lobby 0 0 1512 1024)" -le 1 ] || fail "a click beside the stretched button left the lobby"
}

# With a match's opening exchange on screen in the window stretched to 1512 x 1024: under a window
# manager (started here), F11 makes the window fill the screen, the frame scaled to the screen's
# width with black bars above and below; a click on the first hand card, where it is drawn, marks
# it; F11 again gives the window its size back.
fullscreen_round_trip() { # screen_width screen_height
  evilwm >"$work/wm.log" 2>&1 &
  pids+=($!)
  wait_for 5 bash -c "xprop -id $win _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_FOCUSED || xprop -id $win WM_STATE 2>/dev/null | grep -q Normal" ||
    fail "the window manager did not take the window"
  xdotool windowfocus --sync "$win"
  xdotool key F11
  wait_for 5 has_size "$win" "$1x$2" || fail "F11 did not make the window fill the screen (it is $(window_size "$win"))"
  sleep 0.5
  # 756 x 512 scaled to the screen's width (rounded), bars above and below.
  local shown=$(((2 * 512 * $1 + 756) / (2 * 756)))
  local bar=$((($2 - shown) / 2))
  set_view 0 "$bar" "$shown"
  shot full
  [ "$(pixel_at full $(($1 / 2)) $((bar / 2)))" = "0,0,0" ] ||
    fail "the bar above the frame is $(pixel_at full $(($1 / 2)) $((bar / 2))), not black"
  [ "$(pixel_at full $(($1 / 2)) $(($2 - bar / 2)))" = "0,0,0" ] ||
    fail "the bar below the frame is $(pixel_at full $(($1 / 2)) $(($2 - bar / 2))), not black"
  [ "$(unlike_picture full bg 300 420 700 160)" -le 6 ] || fail "the battle is not scaled into the fullscreen window"
  click_at 111 906 # the first hand card: marked for exchange
  shot marked
  [ "$(differing full marked 70 850 82 112)" -ge 5 ] || fail "a click on a hand card in the fullscreen window did not mark it"
  xdotool key F11
  wait_for 5 has_size "$win" 1512x1024 || fail "F11 again did not give the window its size back (it is $(window_size "$win"))"
}

# Starts a command without a terminal in a folder (standard input from /dev/null, its output in
# $work/LABEL.out and .err), then waits for the game window; sets pid, win and the view for a frame
# HEIGHT pixels tall. Ends the test with a failure when no window opens.
start_in_folder() { # label folder height command...
  local label=$1 folder=$2 height=$3
  shift 3
  (cd "$folder" && exec "$@" </dev/null >"$work/$label.out" 2>"$work/$label.err") &
  pid=$!
  pids+=($pid)
  wait_for 20 has_window '^cardbattle$' || { fail "$label: the game window never opened"; cat "$work/$label.err"; finish; }
  win=$(window_named '^cardbattle$')
  set_view 0 0 "$height"
}

finish() {
  if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
  exit 0
}
