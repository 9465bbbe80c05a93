#!/usr/bin/env bash
# Installing and packaging, in a virtual X server:
# - `cmake --install` into a staging folder lays out the program, the pictures (with their English
#   variants), a valid desktop entry and its icon;
# - the installed program started the way its desktop entry starts it, with a home folder of its
#   own, runs in ~/.local/share/cardbattle (created, empty), shows the lobby from the installed
#   pictures and keeps setting.ini there; closing the window ends it with exit code 0; the entry's
#   second action, "Play in English", does the same with the lobby in English, and keeps English
#   in setting.ini;
# - the installed manual page reads cleanly with man (no warning), the software-centre entry
#   passes appstreamcli validate and names the installed desktop entry and the program's version,
#   which --version prints;
# - CPack makes a .tar.gz whose unpacked program, started from an empty folder, shows the lobby,
#   and, where dpkg is at hand, a .deb holding the program (in /usr/games, as Debian keeps games),
#   the pictures, the desktop entry, the icon, the manual page and the software-centre entry,
#   depending on a Chinese font and the libraries the program links, with the same version, on
#   which lintian finds no error.
# Usage: install_e2e.sh BUILD_DIR CMAKE CPACK CLOSE_WINDOW
set -u
. "$(dirname "$0")/lib.sh"
build=$(realpath "$1")
cmake=$2
cpack=$3
close_window=$(realpath "$4")
require Xvfb xdotool xwininfo import convert compare man appstreamcli
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

# ---- the manual page, the software-centre entry, the version --------------------------------------
page="$stage/share/man/man6/cardbattle.6.gz"
if [ -f "$page" ]; then
  MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >"$work/man.txt" 2>"$work/man.err" || fail "man cannot show $page"
  [ ! -s "$work/man.err" ] || { fail "man warns about the manual page:"; cat "$work/man.err"; }
  grep -q "cardbattle - single-player card battle game" "$work/man.txt" || fail "the manual page has no NAME line"
else
  fail "cmake --install did not lay out share/man/man6/cardbattle.6.gz"
fi
version=$("$stage/bin/cardbattle" --version) || fail "cardbattle --version failed"
metainfo=$(ls "$stage"/share/metainfo/*.metainfo.xml 2>/dev/null | head -n 1)
if [ -n "$metainfo" ]; then
  appstreamcli validate --no-net --pedantic "$metainfo" >"$work/appstream.log" 2>&1 ||
    { fail "appstreamcli does not validate $(basename "$metainfo"):"; cat "$work/appstream.log"; }
  [ "$(basename "$metainfo")" = "$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$metainfo").metainfo.xml" ] ||
    fail "$(basename "$metainfo") is not named after its id"
  launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
  [ -f "$stage/share/applications/$launchable" ] || fail "the software-centre entry names no installed desktop entry ($launchable)"
  grep -q "<release version=\"${version#cardbattle }\"" "$metainfo" ||
    fail "the software-centre entry's release is not the program's version ($version)"
  ! grep -q project_license "$metainfo" || fail "the software-centre entry names a licence the project has not chosen"
else
  fail "cmake --install did not lay out share/metainfo/*.metainfo.xml"
fi

# ---- started as the desktop entry starts it ------------------------------------------------
# The shell's text of a group's command, which is sh -c "..." with nothing escaped inside.
entry_script() { # group
  awk -v group="[$1]" '/^\[/ { inside = ($0 == group) } inside' "$desktop" |
    sed -n 's/^Exec=sh -c "\([^"\\$`]*\)"$/\1/p'
}
# Starts a group's command with a home folder of its own and checks what it leaves there.
start_as_entry() { # label group setting.ini
  local script home="$work/home-$1" data
  script=$(entry_script "$2")
  [ -n "$script" ] || { fail "$2: the Exec line is not sh -c \"...\" without escapes"; return; }
  mkdir -p "$home"
  expect_lobby "$1" "$work" 768 env HOME="$home" PATH="$stage/bin:$PATH" sh -c "$script"
  data="$home/.local/share/cardbattle"
  [ "$(cat "$data/setting.ini" 2>/dev/null)" = "$(printf "$3")" ] || fail "$1: setting.ini is not kept in $data as $3"
  [ "$(ls -A "$home")" = .local ] || fail "$1: the home folder holds $(ls -A "$home" | tr '\n' ' ')"
  [ "$(ls -A "$data")" = setting.ini ] || fail "$1: the data folder holds $(ls -A "$data" | tr '\n' ' ')"
}
start_as_entry desktop "Desktop Entry" '1\n0'
grep -qx 'Actions=english;' "$desktop" || fail "the desktop entry offers no action to play in English"
[ "$(awk '/^\[Desktop Action english\]/ { inside = 1 } inside && /^Name=/' "$desktop")" = "Name=Play in English" ] ||
  fail "the desktop entry's action is not named \"Play in English\""
start_as_entry english "Desktop Action english" '1\n0\nen'
# The lobby's button carries its caption in the language played.
[ "$(differing desktop english 900 500 140 60)" -ge 5 ] || fail "the lobby of \"Play in English\" is not in English"

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
for file in ./usr/games/cardbattle ./usr/share/cardbattle/asset/size.ini ./usr/share/cardbattle/asset/content.ini \
  ./usr/share/cardbattle/asset/lobby.png ./usr/share/cardbattle/asset/en/et.png ./usr/share/applications/cardbattle.desktop \
  ./usr/share/icons/hicolor/scalable/apps/cardbattle.svg ./usr/share/man/man6/cardbattle.6.gz \
  "./usr/share/metainfo/$(basename "$metainfo")" ./usr/share/doc/cardbattle/copyright \
  ./usr/share/doc/cardbattle/changelog.gz; do
  grep -qx "$file" "$work/deb.list" || fail "the .deb does not hold $file"
done
pictures=$(find "$assets" -name '*.png' | wc -l) # the English variants in asset/en/ too
[ "$(grep -c '^./usr/share/cardbattle/asset/.*\.png$' "$work/deb.list")" = "$pictures" ] ||
  fail "the .deb does not hold all $pictures pictures"
depends=$(dpkg-deb -f "$deb" Depends)
for package in fonts-wqy-microhei libsdl2-2.0-0 libfontconfig1 libfreetype6; do
  echo "$depends" | grep -q "\b$package\b" || fail "the .deb does not depend on $package: $depends"
done
deb_version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$archive")" = "cardbattle-$deb_version-Linux.tar.gz" ] ||
  fail "the .deb's version $deb_version is not the archive's ($(basename "$archive"))"
[ "cardbattle $deb_version" = "$version" ] || fail "the .deb's version $deb_version is not the program's ($version)"
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || { fail "lintian finds errors in the .deb:"; cat "$work/lintian.log"; }
else
  fail "lintian is not installed (scripts/setup.sh installs it)"
fi
finish
