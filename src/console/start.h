// The launcher: a settings screen in the terminal (window size and debug mode, kept in
// setting.ini between runs), then the game window.
#pragma once

#include <string>

#include "platform/platform.h"
#include "platform/terminal.h"
#include "game/settings.h"

class Game;

// Per resolution: window height, then window width, in pixels.
inline constexpr int RESOLUTIONS[3][2] = {{512, 756}, {768, 1134}, {1024, 1512}};
// The list rows, height first, each as wide as the list (15 columns).
inline std::string RESOLUTION_NAME[3] = {"   512 * 756   ", "   768 * 1134  ", "  1024 * 1512  "};
inline constexpr int RESOLUTION_MAX = 3;
inline std::string version = "v" CARDBATTLE_VERSION; // the project's version, given by the build

// Shows the launcher until Start is clicked or Enter or Space is down (Up and Down move the
// choice, D toggles debug mode, for terminals without a mouse; L switches the language and O the
// opponent), saves the choices, resets `now`, sets its scale and the language, loads the pictures
// and opens the game window. Without a terminal it starts at once with the saved settings. A
// choice `asked` for (on the command line) replaces the saved one, and is saved. Returns the
// choices as saved (the caller sets up the opponent chosen).
Settings createGame(Game& now, const AskedChoices& asked = {});

// Whether a terminal of this size holds the launcher's screen as designed (60 x 20); a smaller
// one gets a compact screen whose first line is smallTerminalNote(its width).
bool launcherFits(platform::terminal::Cell size);
// That line: the terminal is too small, and the game can be started in a larger one. The longest
// wording that fits `cols` columns (the shortest when none does).
std::string smallTerminalNote(int cols);

// The largest resolution whose window fits the desktop; the smallest when none does.
int fittingResolution(platform::Point desktop);
