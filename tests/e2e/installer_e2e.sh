#!/usr/bin/env bash
# The Windows installer under Wine in a virtual X server, in a Wine prefix of its own:
#  1. /S installs for the current user without a word: the program, its pictures and README.txt
#     under %LOCALAPPDATA%\Programs\cardbattle, an uninstaller registered in the current user's
#     list of programs, and a Start-menu shortcut to the program whose working folder is
#     %APPDATA%\cardbattle, which the installer made;
#  2. the installed program, started in that folder as the shortcut starts it (and without a
#     console: standard input and output redirected), shows the lobby and keeps setting.ini
#     there; closing the window ends it with exit code 0;
#  3. the uninstaller, /S, removes the program files, the shortcut and the registration, and
#     leaves the player's settings.
# Usage: installer_e2e.sh SETUP_EXE CLOSE_WINDOW WINE_RUN
set -u
. "$(dirname "$0")/lib.sh"
[ -f "$1" ] || { echo "FAIL: no installer $1 (scripts/windows.sh makes it)"; exit 1; }
setup=$(realpath "$1")
close_window=$(realpath "$2")
wine_run=$(realpath "$3")
require Xvfb xdotool xwininfo import convert compare wine strings
start_xvfb 1280x1024

export CARDBATTLE_WINE_PREFIX_FILE="$work/wine-prefix"
"$wine_run" --start-prefix "$CARDBATTLE_WINE_PREFIX_FILE"
trap '"$wine_run" --stop-prefix "$CARDBATTLE_WINE_PREFIX_FILE"; cleanup' EXIT
home="$(cat "$CARDBATTLE_WINE_PREFIX_FILE")/drive_c/users/${USER:-$(id -un)}"
programs="$home/AppData/Local/Programs/cardbattle"
player="$home/AppData/Roaming/cardbattle"
shortcut="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/cardbattle.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\cardbattle'
# The value the current user's list of programs holds for the game ("" when none).
registered() { "$wine_run" reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' | grep "REG_"; }

# ---- a silent install ---------------------------------------------------------------------------
"$wine_run" "$setup" /S || fail "the installer ended with exit code $?"
for f in cardbattle.exe asset/size.ini asset/content.ini asset/lobby.png README.txt Uninstall.exe; do
  [ -f "$programs/$f" ] || fail "the installer did not put $f in %LOCALAPPDATA%\\Programs\\cardbattle"
done
[ -d "$player" ] || fail "the installer did not make %APPDATA%\\cardbattle"
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
# A shortcut keeps its target and working folder as UTF-16 strings.
strings -el "$shortcut" >"$work/shortcut.txt" 2>/dev/null
grep -qi 'AppData\\Local\\Programs\\cardbattle\\cardbattle.exe' "$work/shortcut.txt" ||
  { fail "the shortcut does not start the installed program:"; cat "$work/shortcut.txt"; }
grep -qix '.*AppData\\Roaming\\cardbattle' "$work/shortcut.txt" ||
  { fail "the shortcut's working folder is not %APPDATA%\\cardbattle:"; cat "$work/shortcut.txt"; }
registered UninstallString | grep -qi 'Programs\\cardbattle\\Uninstall.exe' ||
  fail "no uninstaller in the current user's list of programs"
registered DisplayVersion | grep -q "REG_SZ" || fail "the list of programs shows no version"

# ---- the installed game, started as the shortcut starts it --------------------------------------
run="$work/run" # the game's output, kept out of the player's folder
mkdir -p "$run"
assets="$programs/asset"
width=1134 height=768 # no setting.ini: the largest window that fits 1280 x 1024
(cd "$player" && exec "$wine_run" "$programs/cardbattle.exe" </dev/null >"$run/out.txt" 2>"$run/err.txt") &
pid=$!
pids+=($pid)
await_game_window 60
check_lobby_without_launcher 2
close_and_expect_clean_exit "$close_window" "$win" "$pid"
[ "$(tr -d '\r' <"$player/setting.ini" 2>/dev/null)" = "$(printf '1\n0')" ] ||
  fail "setting.ini is not kept in %APPDATA%\\cardbattle"

# ---- a silent uninstall -------------------------------------------------------------------------
# The uninstaller runs a copy of itself from the temporary folder and returns at once.
"$wine_run" "$programs/Uninstall.exe" /S || fail "the uninstaller ended with exit code $?"
wait_for 60 bash -c "[ ! -e '$programs' ]" || fail "the program files are still there: $(ls -R "$programs" | head)"
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut is still there"
gone_from_list() { [ -z "$(registered UninstallString)" ]; }
wait_for 10 gone_from_list || fail "the program is still in the list of programs"
[ -f "$player/setting.ini" ] || fail "the uninstaller removed the player's settings"
finish
