// The launcher screen and setting.ini.
#include "console/start.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <vector>

#include "console/console.h"
#include "console/language_choice.h"
#include "game/game.h"
#include "platform/terminal.h"
#include "render/surface.h"

namespace {

const char* const SETTINGS_FILE = "setting.ini";

// Where the launcher's forms and title stand (row, column on the screen). The full screen is the
// one designed for 60 x 20; a terminal that stays smaller gets the same widgets closer together
// (all of them within 40 x 12) under a line that says why.
struct LauncherLayout {
    int titleRow, titleCol;
    int listFormRow, listFormCol, listFormRows;
    int debugFormRow, debugFormCol, debugFormCols;
    int submitFormRow, submitFormCol;
    bool note;
};
constexpr LauncherLayout FULL_LAYOUT = {4, 17, 5, 5, 14, 6, 24, 20, 16, 26, false};
constexpr LauncherLayout COMPACT_LAYOUT = {3, 7, 4, 1, 5, 5, 22, 14, 10, 16, true};
constexpr int LAUNCHER_COLS = 60, LAUNCHER_ROWS = 20;

// The note of the compact screen, longest first: the longest that fits the terminal's width (60
// columns at most, the width asked for).
const char* const SMALL_TERMINAL_NOTES[] = {
    "Terminal below 60 x 20: start the game in a larger one.",
    "Small terminal: start in a 60 x 20 one.",
    "Start in a 60 x 20 terminal.",
};

// An index that the file does not give is the largest window that fits the desktop.
int resolutionOr(int index) {
    if (index >= 0 && index < RESOLUTION_MAX) return index;
    return fittingResolution(platform::desktopSize());
}

void saveSettings(int index, bool debug, const std::string& languageLine) {
    std::ofstream settings(SETTINGS_FILE, std::ios::out | std::ios::trunc);
    settings << index << '\n' << debug << '\n';
    if (!languageLine.empty()) settings << languageLine << '\n';
    settings.close();
    // The game starts all the same; the player only learns the choice is not kept.
    if (!settings)
        std::cerr << "cardbattle: cannot write " << SETTINGS_FILE << "; the settings are not kept" << std::endl;
}

// Moves the chosen row with the arrow keys, keeping it on the page shown.
void moveChoice(List& list, int step) {
    int rows = list.items ? (int)list.items->size() : 0;
    if (rows == 0) return;
    int index = list.isChosen < 0 ? (step > 0 ? 0 : rows - 1) : list.isChosen + step;
    if (index < 0) index = 0;
    if (index >= rows) index = rows - 1;
    list.isChosen = index;
    list.nowPage = index / (list.perPage > 0 ? list.perPage : 1) + 1;
    list.print();
}

// Steps 9 to 14 of the launcher: reset the game, save, load the pictures, open the window.
void openGame(Game& now, int index, bool debug, const LanguageChoice& language, bool screenShown) {
    index = resolutionOr(index);
    int HEIGHT = RESOLUTIONS[index][0];
    int WIDTH = RESOLUTIONS[index][1];
    now = Game();
    now.rate = HEIGHT / 1024.0;
    if (screenShown) {
        clrscr();
        platform::terminal::endInput();
        // Later diagnostics go to the shell's screen, where they stay readable after the end.
        platform::terminal::endScreen();
    }
    if (!language.complaint.empty()) std::cerr << language.complaint << std::endl;
    saveSettings(index, debug, language.lineToWrite());
    now.language = language.chosen; // before the pictures: English ones replace those with words
    now.loadAssets();
    initgraph(WIDTH, HEIGHT, debug ? EX_SHOWCONSOLE : 0);
    BeginBatchDraw();
    setbkmode(TRANSPARENT);
}

void startWithoutLauncher(Game& now, std::optional<Language> asked) {
    std::ifstream settings(SETTINGS_FILE);
    int index = resolutionOr(readResolution(settings));
    bool debug = false;
    settings >> debug;
    LanguageChoice language = readLanguageChoice(settings, asked);
    std::cerr << "cardbattle: not running in a terminal, so no launcher: starting at " << RESOLUTIONS[index][1]
              << " x " << RESOLUTIONS[index][0] << ", debug mode " << (debug ? "on" : "off") << ", in "
              << languageName(language.chosen) << std::endl;
    openGame(now, index, debug, language, false);
}

} // namespace

bool launcherFits(platform::terminal::Cell size) { return size.row >= LAUNCHER_ROWS && size.col >= LAUNCHER_COLS; }

std::string smallTerminalNote(int cols) {
    for (const char* note : SMALL_TERMINAL_NOTES)
        if ((int)std::strlen(note) <= cols) return note;
    return SMALL_TERMINAL_NOTES[std::size(SMALL_TERMINAL_NOTES) - 1];
}

int fittingResolution(platform::Point desktop) {
    for (int i = RESOLUTION_MAX - 1; i > 0; --i)
        if (RESOLUTIONS[i][1] <= desktop.x && RESOLUTIONS[i][0] <= desktop.y) return i;
    return 0;
}

int readResolution(std::istream& settings) {
    if (!settings) return -1; // no file
    int value = 0;
    if (settings >> value) return value >= 0 && value < RESOLUTION_MAX ? value : -1;
    // Nothing but blanks (or nothing readable) gives no index; a number too large for an int is
    // out of range.
    if (settings.eof() || settings.bad() || value != 0) return -1;
    return 0;
}

void createGame(Game& now, std::optional<Language> asked) {
    if (!platform::terminal::interactive()) return startWithoutLauncher(now, asked);
    platform::terminal::beginInput();

    // A terminal that cannot take the size asked for keeps the one it had (the console says what
    // it took; a terminal is only asked).
    platform::terminal::Cell before = platform::terminal::size();
    setWindowSize("Game Launcher", LAUNCHER_COLS, LAUNCHER_ROWS);
    platform::terminal::Cell after = platform::terminal::size();
    platform::terminal::Cell room = {std::min(before.row, after.row), std::min(before.col, after.col)};
    const LauncherLayout& at = launcherFits(room) ? FULL_LAYOUT : COMPACT_LAYOUT;
    hideCursor();
    Form mainForm(1, 1, 18, 60, nullptr, 0);
    std::unique_ptr<Label> note;
    if (at.note) note = std::make_unique<Label>(toRaw("&c" + smallTerminalNote(room.col)), 1, 1, &mainForm);
    Label titleLabel(toRaw("&e  Game Launcher - Settings"), at.titleRow, at.titleCol, &mainForm);
    std::ifstream settings(SETTINGS_FILE);
    Form setResolution(at.listFormRow, at.listFormCol, at.listFormRows, 20, &mainForm, 0);
    std::vector<RawText> items1;
    for (int i = 0; i < RESOLUTION_MAX; ++i) items1.push_back(toRaw(RESOLUTION_NAME[i]));
    List resolution(toRaw("&e Set Resolution"), 2, 3, 15, &setResolution, &items1, 3, 9, "");
    // A file that gives no usable index shows the row that will be used.
    resolution.isChosen = resolutionOr(readResolution(settings));
    resolution.print();
    Form submitForm(at.submitFormRow, at.submitFormCol, 2, 10, &mainForm, 0);
    Button start(toRaw("&f  Start  "), 1, 1, &submitForm, 2, 1);
    Form isDebugForm(at.debugFormRow, at.debugFormCol, 1, at.debugFormCols, &mainForm, 0);
    CheckBox isDebug(toRaw("&fDebug Mode"), 1, 1, &isDebugForm, 10, 'O', "[]");
    settings >> isDebug.chosen;
    LanguageChoice language = readLanguageChoice(settings, asked);
    settings.close();
    LanguageSwitch languageSwitch(language, at.note);

    // The keys beyond the mouse act once per press.
    KeyPress up(platform::VK_UP), down(platform::VK_DOWN), debugKey('D');
    for (;;) {
        resolution.preserve();
        isDebug.preserve();
        if (start.preserve() == 2) break;
        if (press(platform::VK_RETURN) || press(platform::VK_SPACE)) break;
        if (up.fresh()) moveChoice(resolution, -1);
        if (down.fresh()) moveChoice(resolution, 1);
        if (debugKey.fresh()) isDebug.set(-1);
        languageSwitch.preserve();
    }
    openGame(now, resolution.isChosen, isDebug.chosen, language, true);
}
