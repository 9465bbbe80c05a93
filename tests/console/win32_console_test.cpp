// The console on Windows, read back through the console API as a player would see it: what the
// toolkit's drawing puts in the cells, what the console's input records become (typed characters,
// key and button state, the pointer cell), the modes the launcher holds, and the console given back
// as it was found.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/start.h"
#include "game/game.h"
#include "platform/platform.h"
#include "platform/terminal.h"
#include "support/temp_dir.h"
#include "win32_console_probe.h"

namespace term = platform::terminal;
namespace probe = console_probe;
using probe::Record;

namespace {

std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class WindowsConsole : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(probe::openConsole()) << "no console for the test program (Wine's console needs an X display)";
        platform::headless::enable();
    }
    void TearDown() override { platform::headless::enable(); }

    // Every typed character the program can read now.
    static std::vector<int> typed() {
        std::vector<int> codes;
        while (term::keyWaiting()) codes.push_back(term::readKey());
        return codes;
    }
};

// ---- output -------------------------------------------------------------------------------------

class ConsoleOutput : public WindowsConsole {};

TEST_F(ConsoleOutput, TheWindowSizeCallSetsTitleBufferAndWindowAsModeConDoes) {
    setWindowSize("Game Launcher", 60, 20);
    EXPECT_EQ(probe::title(), "Game Launcher");
    EXPECT_EQ(probe::bufferSize().row, 20);
    EXPECT_EQ(probe::bufferSize().col, 60);
    EXPECT_EQ(probe::windowSize().row, 20);
    EXPECT_EQ(probe::windowSize().col, 60);
    EXPECT_EQ(term::size().row, 20);
    EXPECT_EQ(term::size().col, 60);
}

TEST_F(ConsoleOutput, AttributesReachTheConsoleAsTheyAre) {
    setWindowSize("colours", 60, 20);
    for (int fore = 0; fore < 16; ++fore) {
        gotoxy(1, fore + 1);
        setColor((15 - fore) * 16 + fore);
        term::write("X");
    }
    term::flush();
    for (int fore = 0; fore < 16; ++fore) EXPECT_EQ(probe::attribute(1, fore + 1), (15 - fore) * 16 + fore) << fore;
}

TEST_F(ConsoleOutput, TextLandsInTheCellsTheToolkitNames) {
    setWindowSize("text", 60, 20);
    gotoxy(5, 10);
    tellraw(RawText("ab/ncd#1&fX", {}, {}, {}));
    EXPECT_EQ(probe::text(5, 10, 2), "ab");
    EXPECT_EQ(probe::text(6, 10, 3), "cdX");
    EXPECT_EQ(probe::attribute(6, 12), 0x1F);
    // A double-byte character takes two cells: the next one starts two columns on, on a console
    // that draws it in one cell too.
    gotoxy(2, 3);
    term::write("中文x");
    term::flush();
    EXPECT_EQ(probe::text(2, 3, 1), utf8(u8"中"));
    EXPECT_EQ(probe::text(2, 5, 1), utf8(u8"文"));
    EXPECT_EQ(probe::text(2, 7, 1), "x");
    EXPECT_EQ(getxy(), std::make_pair(2, 8));
}

TEST_F(ConsoleOutput, WritingTheLastCellDoesNotScrollTheScreen) {
    setWindowSize("last cell", 60, 20);
    gotoxy(1, 1);
    term::write("top");
    gotoxy(20, 59);
    term::write("YZ");
    term::flush();
    EXPECT_EQ(probe::text(1, 1, 3), "top");
    EXPECT_EQ(probe::text(20, 59, 2), "YZ");
}

TEST_F(ConsoleOutput, ClearBlanksTheWholeScreenInBrightWhite) {
    setWindowSize("clear", 60, 20);
    gotoxy(20, 55);
    setColor(0x1E);
    term::write("stays?");
    clrscr();
    EXPECT_EQ(probe::text(20, 55, 6), "      ");
    EXPECT_EQ(probe::attribute(20, 60), 15);
    EXPECT_EQ(probe::attribute(1, 1), 15);
    EXPECT_EQ(getxy(), std::make_pair(1, 1));
    EXPECT_EQ(probe::cursorCell().row, 1);
    EXPECT_EQ(probe::cursorCell().col, 1);
}

TEST_F(ConsoleOutput, CursorHiddenAndShownAtOnePercent) {
    setWindowSize("cursor", 60, 20);
    hideCursor();
    EXPECT_FALSE(probe::cursorVisible());
    showCursor();
    EXPECT_TRUE(probe::cursorVisible());
    EXPECT_EQ(probe::cursorSize(), 1);
}

TEST_F(ConsoleOutput, AfterTheLauncherTheConsoleWrapsItsOwnOutputAgain) {
    unsigned before = probe::outputMode();
    setWindowSize("Game Launcher", 60, 20);
    gotoxy(1, 1);
    term::write("launcher");
    term::flush();
    EXPECT_EQ(probe::outputMode() & probe::WRAP_AT_END_OF_LINE, 0u);
    term::endScreen();
    EXPECT_EQ(probe::outputMode(), before) << "diagnostics printed during the game must wrap";
}

TEST_F(ConsoleOutput, AResizedConsoleIsDrawnAgainWithWhatItShowed) {
    setWindowSize("resize", 60, 20);
    term::beginInput();
    gotoxy(2, 2);
    term::write("hello");
    term::flush();
    // The player widens the window; the console reflows or loses what it showed.
    probe::resize(25, 70);
    probe::blank();
    probe::send({probe::resized()});
    term::pointer(); // a poll
    EXPECT_EQ(term::size().row, 25);
    EXPECT_EQ(term::size().col, 70);
    EXPECT_EQ(probe::text(2, 2, 5), "hello");
}

// ---- input records --------------------------------------------------------------------------------

class ConsoleInput : public WindowsConsole {
protected:
    void SetUp() override {
        WindowsConsole::SetUp();
        if (HasFatalFailure()) return;
        setWindowSize("input", 60, 20);
        term::beginInput();
    }
};

struct TypedCase {
    const char* name;
    std::vector<Record> records;
    std::vector<int> codes;
};
void PrintTo(const TypedCase& c, std::ostream* os) { *os << c.name; }

class TypedCharacters : public ConsoleInput, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedCharacters, ComeAsTheToolkitReadsThem) {
    probe::send(GetParam().records);
    EXPECT_EQ(typed(), GetParam().codes);
}

constexpr int VK_SHIFT = 0x10, VK_MENU = 0x12, VK_DELETE = 0x2E, VK_HOME = 0x24, VK_F1 = 0x70, VK_F10 = 0x79,
              VK_F12 = 0x7B;

INSTANTIATE_TEST_SUITE_P(
    Records, TypedCharacters,
    ::testing::Values(
        TypedCase{"letter", {probe::keyDown('A', 'a'), probe::keyUp('A', 'a')}, {'a'}},
        TypedCase{"enter", {probe::keyDown(platform::VK_RETURN, '\r')}, {13}},
        TypedCase{"backspace", {probe::keyDown(platform::VK_BACK, 8)}, {8}},
        TypedCase{"arrow", {probe::keyDown(platform::VK_UP)}, {0xE0, 'H'}},
        TypedCase{"editing key", {probe::keyDown(VK_DELETE), probe::keyDown(VK_HOME)}, {0xE0, 'S', 0xE0, 'G'}},
        TypedCase{"function keys", {probe::keyDown(VK_F1), probe::keyDown(VK_F10), probe::keyDown(VK_F12)},
                  {0, 0x3B, 0, 0x44, 0xE0, 0x86}},
        TypedCase{"double byte", {probe::keyDown(0, 0x4E2D)}, {0xD6, 0xD0}},
        TypedCase{"repeated", {probe::keyDown('X', 'x', 3)}, {'x', 'x', 'x'}},
        TypedCase{"release types nothing", {probe::keyUp('A', 'a'), probe::keyUp(platform::VK_UP)}, {}},
        TypedCase{"modifier alone", {probe::keyDown(VK_SHIFT), probe::keyUp(VK_SHIFT)}, {}},
        TypedCase{"alt and keypad code", {probe::keyDown(VK_MENU), probe::keyUp(VK_MENU, 0x6587)}, {0xCE, 0xC4}},
        TypedCase{"beyond the basic plane", {probe::keyDown(0, 0xD83D), probe::keyDown(0, 0xDE00)}, {'?'}}),
    [](const ::testing::TestParamInfo<TypedCase>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == ' ') c = '_';
        return name;
    });

// One step: records arrive, the program waits, then it polls the key once (another key first reads
// the records when the step names one).
struct Step {
    std::vector<Record> records;
    bool down;
    int waitMs = 0;
    int firstPoll = 0;
};

struct StateCase {
    const char* name;
    int vk;
    std::vector<Step> steps;
};
void PrintTo(const StateCase& c, std::ostream* os) { *os << c.name; }

class KeyAndButtonState : public ConsoleInput, public ::testing::WithParamInterface<StateCase> {};

TEST_P(KeyAndButtonState, ReadsAsTheGamesPollsExpect) {
    int n = 0;
    for (const Step& step : GetParam().steps) {
        probe::send(step.records);
        if (step.firstPoll) platform::keyDown(step.firstPoll);
        if (step.waitMs) platform::sleepMs(step.waitMs);
        EXPECT_EQ(platform::keyDown(GetParam().vk), step.down) << "poll " << ++n;
    }
}

const int A = 'A', LEFT = platform::VK_LBUTTON;

INSTANTIATE_TEST_SUITE_P(
    Records, KeyAndButtonState,
    ::testing::Values(
        StateCase{"held key", A, {{{probe::keyDown(A, 'a')}, true}, {{}, true}, {{probe::keyUp(A, 'a')}, false}}},
        StateCase{"tap between polls", A, {{{probe::keyDown(A, 'a'), probe::keyUp(A, 'a')}, true}, {{}, false}}},
        StateCase{"unseen tap forgotten", A,
                  {{{probe::keyDown(A, 'a'), probe::keyUp(A, 'a')}, false, term::CLICK_KEEP_MS + 1, 'B'}}},
        StateCase{"tap seen in time", A,
                  {{{probe::keyDown(A, 'a'), probe::keyUp(A, 'a')}, true, term::CLICK_KEEP_MS - 1, 'B'}}},
        StateCase{"auto repeat", A,
                  {{{probe::keyDown(A, 'a'), probe::keyDown(A, 'a'), probe::keyDown(A, 'a')}, true},
                   {{probe::keyUp(A, 'a')}, false}}},
        StateCase{"focus lost", A, {{{probe::keyDown(A, 'a')}, true}, {{probe::focus(false)}, false}}},
        StateCase{"other key", A, {{{probe::keyDown('B', 'b')}, false}}},
        StateCase{"held button", LEFT,
                  {{{probe::mouseAt(4, 8, probe::LEFT_BUTTON)}, true}, {{}, true}, {{probe::mouseAt(4, 8)}, false}}},
        StateCase{"click between polls", LEFT,
                  {{{probe::mouseAt(4, 8, probe::LEFT_BUTTON), probe::mouseAt(4, 8)}, true}, {{}, false}}},
        StateCase{"click then moved away", LEFT,
                  {{{probe::mouseAt(4, 8, probe::LEFT_BUTTON), probe::mouseAt(4, 8), probe::mouseAt(5, 8)}, false}}},
        StateCase{"wheel", LEFT, {{{probe::mouseAt(4, 8, probe::LEFT_BUTTON, probe::WHEELED)}, false}}},
        StateCase{"right button", LEFT, {{{probe::mouseAt(4, 8, probe::RIGHT_BUTTON)}, false}}},
        StateCase{"double click", LEFT,
                  {{{probe::mouseAt(4, 8, probe::LEFT_BUTTON), probe::mouseAt(4, 8)}, true},
                   {{probe::mouseAt(4, 8, probe::LEFT_BUTTON, probe::DOUBLE_CLICK), probe::mouseAt(4, 8)}, true},
                   {{}, false}}}),
    [](const ::testing::TestParamInfo<StateCase>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == ' ') c = '_';
        return name;
    });

TEST_F(ConsoleInput, ThePointerIsTheCellOfTheLastMouseRecord) {
    probe::send({probe::mouseAt(3, 7)});
    POINT pt;
    getpos(pt);
    EXPECT_EQ(pt.x, 3) << "row";
    EXPECT_EQ(pt.y, 7) << "column";
    probe::send({probe::mouseAt(20, 60, 0, probe::MOVED)});
    getpos(pt);
    EXPECT_EQ(pt.x, 20);
    EXPECT_EQ(pt.y, 60);
}

// ---- the launcher in the console ---------------------------------------------------------------

class LauncherInTheConsole : public WindowsConsole {
protected:
    testing_support::TempWorkDir dir;
    int polls = 0;

    // Runs the launcher; the script runs at every poll and sleep with the number of the poll.
    void launch(Game& game, std::function<void(int)> script) {
        platform::headless::setCallback([this, script] {
            if (++polls > 5000) throw std::runtime_error("the launcher is still waiting");
            script(polls);
        });
        createGame(game);
        platform::headless::setCallback(nullptr);
    }
    static void click(int row, int col) {
        probe::send({probe::mouseAt(row, col, probe::LEFT_BUTTON), probe::mouseAt(row, col)});
    }
    static std::string saved() {
        std::ifstream in("setting.ini");
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
};

TEST_F(LauncherInTheConsole, ShowsItsScreenAndStartsWithTheRowAndButtonClicked) {
    std::ofstream("setting.ini") << "0\n1\n";
    unsigned input = probe::inputMode();
    unsigned output = probe::outputMode();
    Game game;
    bool seen = false;
    launch(game, [&](int poll) {
        if (poll == 3) {
            seen = true;
            EXPECT_EQ(probe::title(), "Game Launcher");
            EXPECT_EQ(probe::bufferSize().row, 20);
            EXPECT_EQ(probe::bufferSize().col, 60);
            EXPECT_FALSE(probe::cursorVisible());
            EXPECT_EQ(probe::text(4, 17, 26), "  Game Launcher - Settings");
            EXPECT_EQ(probe::attribute(4, 19), 0x0E);
            EXPECT_EQ(probe::text(6, 7, 30), " Set Resolution  [O]Debug Mode");
            EXPECT_EQ(probe::attribute(6, 25), 0x0A) << "the tick in its colour";
            EXPECT_EQ(probe::text(7, 7, 15), "   512 * 756   ");
            EXPECT_EQ(probe::attribute(7, 7), 0x97) << "the stored row chosen";
            EXPECT_EQ(probe::attribute(8, 7), 0x07);
            EXPECT_EQ(probe::text(16, 26, 9), "  Start  ");
            EXPECT_EQ(probe::attribute(16, 26), 0x2F);
            click(8, 10);
        }
        if (poll == 30) {
            EXPECT_EQ(probe::attribute(8, 7), 0x97) << "the clicked row chosen";
            EXPECT_EQ(probe::attribute(7, 7), 0x07);
            click(16, 30);
        }
    });
    EXPECT_TRUE(seen);
    platform::headless::WindowRequest window = platform::headless::windowRequest();
    EXPECT_TRUE(window.opened);
    EXPECT_EQ(window.width, 1134);
    EXPECT_EQ(window.height, 768);
    EXPECT_TRUE(window.keepTerminal);
    EXPECT_EQ(game.rate, 0.75);
    EXPECT_EQ(saved(), "1\n1\n");
    // The console cleared in bright white, its input handed back, its own output mode again.
    EXPECT_EQ(probe::text(7, 7, 15), std::string(15, ' '));
    EXPECT_EQ(probe::attribute(7, 7), 0x0F);
    EXPECT_EQ(probe::inputMode(), input);
    EXPECT_EQ(probe::outputMode(), output);
}

// ---- the game started in this console, and its ways out ---------------------------------------

class GameInTheConsole : public WindowsConsole {
protected:
    testing_support::TempWorkDir dir;
    unsigned input = 0;
    unsigned output = 0;
    probe::Cell size;
    probe::Cell window;

    void SetUp() override {
        WindowsConsole::SetUp();
        if (HasFatalFailure()) return;
        probe::setTitle("Command Prompt");
        probe::setTextAttribute(0x07);
        probe::blank(); // what an earlier game drew is not this one's launcher
        input = probe::inputMode();
        output = probe::outputMode();
        size = probe::bufferSize();
        window = probe::windowSize();
    }

    // The launcher is up and holds the console.
    static void expectLauncher() {
        ASSERT_TRUE(probe::waitForTitle("Game Launcher", 30000));
        for (int i = 0; i < 500 && (probe::text(16, 26, 9) != "  Start  " || probe::bufferSize().col != 60); ++i)
            Sleep(20);
        EXPECT_EQ(probe::text(16, 26, 9), "  Start  ");
        EXPECT_EQ(probe::bufferSize().col, 60);
        EXPECT_EQ(probe::inputMode() & probe::QUICK_EDIT, 0u);
        EXPECT_NE(probe::inputMode() & probe::MOUSE_INPUT, 0u);
    }
    void expectGivenBack() const {
        EXPECT_EQ(probe::title(), "Command Prompt");
        EXPECT_EQ(probe::inputMode(), input);
        EXPECT_EQ(probe::outputMode(), output);
        EXPECT_EQ(probe::textAttribute(), 0x07);
        EXPECT_TRUE(probe::cursorVisible());
        EXPECT_EQ(probe::bufferSize().row, size.row);
        EXPECT_EQ(probe::bufferSize().col, size.col);
        EXPECT_EQ(probe::windowSize().row, window.row);
        EXPECT_EQ(probe::windowSize().col, window.col);
    }
    static void Sleep(int ms) { probe::sleepReal(ms); }
};

TEST_F(GameInTheConsole, CtrlCDuringTheLauncherGivesTheConsoleBack) {
    probe::Game game(dir.path().string());
    ASSERT_TRUE(game.started());
    expectLauncher();
    game.typeCtrlC();
    // Ended by the system's own handler, after ours (Windows gives 0xC000013A as the exit code,
    // Wine 0); the launcher itself never ends but through the game window.
    EXPECT_NE(game.exitCode(20000), -1) << "still running after Ctrl-C";
    expectGivenBack();
}

TEST_F(GameInTheConsole, EnterStartsTheGameAndClosingItsWindowEndsWithZeroAndTheConsoleBack) {
    probe::Game game(dir.path().string());
    ASSERT_TRUE(game.started());
    expectLauncher();
    probe::send({probe::keyDown(platform::VK_RETURN, '\r'), probe::keyUp(platform::VK_RETURN, '\r')});
    ASSERT_TRUE(game.closeWindow(30000)) << "the game window opened";
    EXPECT_EQ(game.exitCode(20000), 0);
    expectGivenBack();
    std::ifstream settings(dir.path() / "setting.ini");
    int index = -1, debug = -1;
    settings >> index >> debug;
    EXPECT_TRUE(index >= 0 && index <= 2) << index;
    EXPECT_EQ(debug, 0);
}

// ---- modes and the way out ------------------------------------------------------------------------

class ConsoleModes : public WindowsConsole {};

TEST_F(ConsoleModes, TheLauncherTakesMouseAndWindowInputWithQuickEditOff) {
    unsigned before = probe::inputMode();
    term::beginInput();
    unsigned held = probe::inputMode();
    EXPECT_EQ(held & (probe::MOUSE_INPUT | probe::WINDOW_INPUT | probe::EXTENDED_FLAGS | probe::PROCESSED_INPUT),
              probe::MOUSE_INPUT | probe::WINDOW_INPUT | probe::EXTENDED_FLAGS | probe::PROCESSED_INPUT);
    EXPECT_EQ(held & probe::QUICK_EDIT, 0u) << "a click would start a selection";
    EXPECT_EQ(held & (probe::LINE_INPUT | probe::ECHO_INPUT), 0u) << "keys would wait for Enter and echo";
    term::endInput();
    EXPECT_EQ(probe::inputMode(), before);
}

TEST_F(ConsoleModes, ATestCanSayThereIsNoConsoleUntilTheNextReset) {
    EXPECT_TRUE(term::interactive());
    platform::terminal::headless::setInteractive(false);
    EXPECT_FALSE(term::interactive()) << "the game's tests would meet the launcher in a developer's console";
    platform::headless::enable();
    EXPECT_TRUE(term::interactive());
}

TEST_F(ConsoleModes, TheWayOutGivesEverythingBack) {
    probe::setTitle("Command Prompt");
    probe::setTextAttribute(0x07);
    unsigned input = probe::inputMode();
    unsigned output = probe::outputMode();
    probe::Cell size = probe::bufferSize();
    probe::Cell window = probe::windowSize();
    setWindowSize("Game Launcher", 60, 20);
    hideCursor();
    term::beginInput();
    setColor(0x1E);
    gotoxy(4, 4);
    term::write("x");
    term::flush();
    probe::send({probe::keyDown('Q', 'q')});
    // What every way out runs (the end, a console control event, a crash) gives the console back.
    platform::headless::enable();
    EXPECT_EQ(probe::title(), "Command Prompt");
    EXPECT_EQ(probe::inputMode(), input);
    EXPECT_EQ(probe::outputMode(), output);
    EXPECT_EQ(probe::textAttribute(), 0x07);
    EXPECT_TRUE(probe::cursorVisible());
    EXPECT_EQ(probe::bufferSize().row, size.row);
    EXPECT_EQ(probe::bufferSize().col, size.col);
    EXPECT_EQ(probe::windowSize().row, window.row);
    EXPECT_EQ(probe::windowSize().col, window.col);
    EXPECT_EQ(probe::unreadRecords(), 0) << "keys typed for the program must not reach the prompt";
}

} // namespace
