#!/usr/bin/env bash
# Installing and packaging, in a virtual X server:
# - `cmake --install` into a staging folder lays out the program, the pictures (with their English
#   variants), a valid desktop entry and its icon;
# - the installed program started the way its desktop entry starts it, with a home folder of its
#   own, runs in ~/.local/share/cardbattle (created, empty), shows the lobby from the installed
#   pictures and keeps setting.ini there; closing the window ends it with exit code 0;
# - CPack makes a .tar.gz whose unpacked program, started from an empty folder, shows the lobby,
#   and, where dpkg is at hand, a .deb holding the program, the pictures, the desktop entry and the
#   icon, depending on a Chinese font and the libraries the program links, with the same version.
# Usage: install_e2e.sh BUILD_DIR CMAKE CPACK CLOSE_WINDOW
set -u
. "$(dirname "$0")/lib.sh"
build=$(realpath "$1")
cmake=$2
cpack=$3
close_window=$(realpath "$4")
require Xvfb xdotool xwininfo import convert compare
start_xvfb 1280x1024 # no setting.ini: the largest window that fits, 1134 x 768

# Starts the game (label, folder, command...), checks that it shows the lobby from $assets in a
# 1134 x 768 window, and closes it.
expect_lobby() {
  local label=$1
  start_in_folder "$@" # label folder height command...
  [ "$(window_size "$win")" = 1134x768 ] || fail "$label: the window is $(window_size "$win"), not 1134x768"
  sleep 1
  shot "$label"
  [ "$(unlike_picture "$label" lobby 0 0 800 400)" -le 6 ] || fail "$label: the lobby picture is not on screen"
  close_and_expect_clean_exit "$close_window" "$win" "$pid"
}

# ---- cmake --install ---------------------------------------------------------------------------
stage="$work/stage"
"$cmake" --install "$build" --prefix "$stage" >"$work/install.log" 2>&1 || { fail "cmake --install failed"; cat "$work/install.log"; finish; }
desktop="$stage/share/applications/cardbattle.desktop"
assets="$stage/share/cardbattle/asset"
for file in bin/cardbattle share/cardbattle/asset/size.ini share/cardbattle/asset/content.ini \
  share/cardbattle/asset/lobby.png share/cardbattle/asset/en/et.png share/applications/cardbattle.desktop \
  share/icons/hicolor/scalable/apps/cardbattle.svg; do
  [ -f "$stage/$file" ] || fail "cmake --install did not lay out $file"
done
[ -x "$stage/bin/cardbattle" ] || fail "the installed program cannot be run"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
fi
grep -qx 'Terminal=true' "$desktop" || fail "the desktop entry does not give the launcher a terminal"
grep -qx 'Icon=cardbattle' "$desktop" || fail "the desktop entry does not name the icon"

# ---- started as the desktop entry starts it ------------------------------------------------
# Its command is sh -c "..." with nothing escaped inside, so the quoted part is the shell's text.
script=$(sed -n 's/^Exec=sh -c "\([^"\\$`]*\)"$/\1/p' "$desktop")
[ -n "$script" ] || { fail "the desktop entry's Exec line is not sh -c \"...\" without escapes"; finish; }
home="$work/home"
mkdir -p "$home"
expect_lobby desktop "$work" 768 env HOME="$home" PATH="$stage/bin:$PATH" sh -c "$script"
data="$home/.local/share/cardbattle"
[ "$(cat "$data/setting.ini" 2>/dev/null)" = "$(printf '1\n0')" ] || fail "setting.ini is not kept in $data"
[ "$(ls -A "$home")" = .local ] || fail "the home folder holds $(ls -A "$home" | tr '\n' ' ')"
[ "$(ls -A "$data")" = setting.ini ] || fail "the data folder holds $(ls -A "$data" | tr '\n' ' ')"

# ---- the packages -------------------------------------------------------------------------------
generators=TGZ
command -v dpkg-deb >/dev/null && command -v dpkg-shlibdeps >/dev/null && generators="DEB;TGZ"
"$cpack" --config "$build/CPackConfig.cmake" -B "$work/pkg" -G "$generators" >"$work/cpack.log" 2>&1 ||
  { fail "cpack -G $generators failed"; cat "$work/cpack.log"; finish; }

archive=$(ls "$work"/pkg/cardbattle-*.tar.gz 2>/dev/null | head -n 1)
[ -n "$archive" ] || { fail "no .tar.gz was made"; finish; }
mkdir -p "$work/unpacked" "$work/empty"
tar -xzf "$archive" -C "$work/unpacked"
unpacked_bin=$(ls "$work"/unpacked/*/bin/cardbattle | head -n 1)
expect_lobby archive "$work/empty" 768 "$unpacked_bin"

if [ "$generators" = TGZ ]; then
  echo "no dpkg-deb or dpkg-shlibdeps: the .deb is not checked"
  finish
fi
deb=$(ls "$work"/pkg/cardbattle_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { fail "no .deb was made"; finish; }
dpkg-deb -c "$deb" | awk '{print $NF}' >"$work/deb.list"
for file in ./usr/bin/cardbattle ./usr/share/cardbattle/asset/size.ini ./usr/share/cardbattle/asset/content.ini \
  ./usr/share/cardbattle/asset/lobby.png ./usr/share/cardbattle/asset/en/et.png \
  ./usr/share/applications/cardbattle.desktop \
  ./usr/share/icons/hicolor/scalable/apps/cardbattle.svg; do
  grep -qx "$file" "$work/deb.list" || fail "the .deb does not hold $file"
done
pictures=$(find "$assets" -name '*.png' | wc -l) # the English variants in asset/en/ too
[ "$(grep -c '^./usr/share/cardbattle/asset/.*\.png$' "$work/deb.list")" = "$pictures" ] ||
  fail "the .deb does not hold all $pictures pictures"
depends=$(dpkg-deb -f "$deb" Depends)
for package in fonts-wqy-microhei libsdl2-2.0-0 libfontconfig1 libfreetype6; do
  echo "$depends" | grep -q "\b$package\b" || fail "the .deb does not depend on $package: $depends"
done
version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$archive")" = "cardbattle-$version-Linux.tar.gz" ] ||
  fail "the .deb's version $version is not the archive's ($(basename "$archive"))"
finish
