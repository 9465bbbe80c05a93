// The launcher screen and setting.ini.
#include "console/start.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <iterator>
#include <memory>
#include <vector>

#include "console/console.h"
#include "console/choice_rows.h"
#include "game/game.h"
#include "game/settings.h"
#include "platform/terminal.h"
#include "render/surface.h"

namespace {

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
void openGame(Game& now, Settings settings, bool screenShown) {
    settings.resolution = resolutionOr(settings.resolution);
    int HEIGHT = RESOLUTIONS[settings.resolution][0];
    int WIDTH = RESOLUTIONS[settings.resolution][1];
    now = Game();
    now.rate = HEIGHT / 1024.0;
    if (screenShown) {
        clrscr();
        platform::terminal::endInput();
        // Later diagnostics go to the shell's screen, where they stay readable after the end.
        platform::terminal::endScreen();
    }
    for (const std::string& complaint : {settings.language.complaint, settings.opponent.complaint})
        if (!complaint.empty()) std::cerr << complaint << std::endl;
    saveSettings(settings);
    now.language = settings.language.chosen; // before the pictures: English ones replace those with words
    now.loadAssets();
    initgraph(WIDTH, HEIGHT, settings.debug ? EX_SHOWCONSOLE : 0);
    BeginBatchDraw();
    setbkmode(TRANSPARENT);
}

void startWithoutLauncher(Game& now, Settings settings) {
    int index = resolutionOr(settings.resolution);
    std::cerr << "cardbattle: not running in a terminal, so no launcher: starting at " << RESOLUTIONS[index][1]
              << " x " << RESOLUTIONS[index][0] << ", debug mode " << (settings.debug ? "on" : "off") << ", in "
              << languageName(settings.language.chosen) << ", against the "
              << opponentCode(settings.opponent.chosen) << " opponent" << std::endl;
    openGame(now, settings, false);
}

template <class Value>
void switchChoice(ChoiceLine<Value>& line, Value a, Value b) {
    line.chosen = line.chosen == a ? b : a;
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

Settings createGame(Game& now, const AskedChoices& asked) {
    Settings settings = loadSettings(asked);
    if (!platform::terminal::interactive()) {
        startWithoutLauncher(now, settings);
        return settings;
    }
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
    Form setResolution(at.listFormRow, at.listFormCol, at.listFormRows, 20, &mainForm, 0);
    std::vector<RawText> items1;
    for (int i = 0; i < RESOLUTION_MAX; ++i) items1.push_back(toRaw(RESOLUTION_NAME[i]));
    List resolution(toRaw("&e Set Resolution"), 2, 3, 15, &setResolution, &items1, 3, 9, "");
    // A file that gives no usable index shows the row that will be used.
    resolution.isChosen = resolutionOr(settings.resolution);
    resolution.print();
    Form submitForm(at.submitFormRow, at.submitFormCol, 2, 10, &mainForm, 0);
    Button start(toRaw("&f  Start  "), 1, 1, &submitForm, 2, 1);
    Form isDebugForm(at.debugFormRow, at.debugFormCol, 1, at.debugFormCols, &mainForm, 0);
    CheckBox isDebug(toRaw("&fDebug Mode"), 1, 1, &isDebugForm, 10, 'O', "[]");
    isDebug.chosen = settings.debug; // shown by the first pass
    ChoiceRows choices({{"&7Language (L to change): ", 'L',
                         [&] { return std::string(languageName(settings.language.chosen)); },
                         [&] { switchChoice(settings.language, Language::CHINESE, Language::ENGLISH); }},
                        {"&7Opponent (O to change): ", 'O',
                         [&] { return std::string(opponentName(settings.opponent.chosen)); },
                         [&] { switchChoice(settings.opponent, Opponent::STANDARD, Opponent::STRONG); }}},
                       at.note);

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
        choices.preserve();
    }
    settings.resolution = resolution.isChosen;
    settings.debug = isDebug.chosen;
    openGame(now, settings, true);
    return settings;
}
