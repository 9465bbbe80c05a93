#!/usr/bin/env bash
# Runs window_check in a virtual X server: the flushed frame must be on the screen, and closing the
# window must end the program with exit code 0. Exit 77 (skip) where no X server can be started.
set -u
check="$1"; closer="$2"
work=$(mktemp -d); trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v import >/dev/null || { echo "no Xvfb/xdotool/import: skipped"; exit 77; }
for n in $(seq 50 99); do
  [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
  Xvfb :$n -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 & xvfb=$!
  for _ in $(seq 50); do xdpyinfo -display :$n >/dev/null 2>&1 && break; sleep 0.1; done
  if xdpyinfo -display :$n >/dev/null 2>&1; then export DISPLAY=:$n; break; fi
  kill $xvfb 2>/dev/null; xvfb=""
done
[ -n "${DISPLAY:-}" ] && [ -n "${xvfb:-}" ] || { echo "no X server could be started: skipped"; exit 77; }

"$check" > "$work/out" 2>&1 & pid=$!
for _ in $(seq 100); do grep -q presented "$work/out" && break; sleep 0.1; done
win=$(xdotool search --sync --limit 1 --name '^cardbattle$' 2>/dev/null | head -1)
[ -n "$win" ] || { echo "FAIL: no window named cardbattle"; cat "$work/out"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$win")"
[ "$WIDTH" = 320 ] && [ "$HEIGHT" = 200 ] || { echo "FAIL: window is ${WIDTH}x${HEIGHT}"; exit 1; }
sleep 0.3
import -window root "$work/shot.png"
pixel() { convert "$work/shot.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:; }
outer=$(pixel $((X + 10)) $((Y + 10))); inner=$(pixel $((X + 150)) $((Y + 75)))
[ "$outer" = "32,192,64" ] || { echo "FAIL: frame colour on screen is $outer"; exit 1; }
[ "$inner" = "192,32,64" ] || { echo "FAIL: inner colour on screen is $inner"; exit 1; }
"$closer" "$win"
for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
if kill -0 $pid 2>/dev/null; then echo "FAIL: still running after the window was closed"; kill $pid; exit 1; fi
wait $pid; code=$?
[ $code = 0 ] || { echo "FAIL: exit code $code after closing"; cat "$work/out"; exit 1; }
echo "frame on screen, clean exit after close"
