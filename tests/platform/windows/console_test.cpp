// The console on Windows, read back through the console API as a player would see it: what the
// toolkit's drawing puts in the cells, what the console's input records become (typed characters,
// key and button state, the pointer cell), the modes the launcher holds, and the console given back
// as it was found.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "console/console.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/terminal.h"
#include "support/temp_dir.h"
#include "console_probe.h"

namespace term = platform::terminal;
namespace probe = console_probe;
using probe::Record;

namespace {

std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

template <typename Case> std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

class WindowsConsole : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(probe::openConsole()) << "no console for the test program (Wine's console needs an X display)";
        platform::headless::enable();
    }
    void TearDown() override { platform::headless::enable(); }
};

// ---- output -------------------------------------------------------------------------------------

TEST_F(WindowsConsole, TheWindowSizeCallSetsTitleBufferAndWindowAsModeConDoes) {
    setWindowSize("Game Launcher", 60, 20);
    EXPECT_EQ(probe::title(), "Game Launcher");
    for (term::Cell size : {probe::bufferSize(), probe::windowSize(), term::size()}) {
        EXPECT_EQ(size.row, 20);
        EXPECT_EQ(size.col, 60);
    }
}

// Each case draws on a 60 x 20 console; the cells named must then show the text in the colour.
struct DrawCase {
    const char* name;
    void (*draw)();
    int row, col;
    std::string text;
    int attribute;
};

class ConsoleCells : public WindowsConsole, public ::testing::WithParamInterface<DrawCase> {};

TEST_P(ConsoleCells, ShowWhatTheToolkitDrew) {
    setWindowSize("cells", 60, 20);
    GetParam().draw();
    term::flush();
    const DrawCase& c = GetParam();
    int cells = (int)std::count_if(c.text.begin(), c.text.end(), [](char b) { return (b & 0xC0) != 0x80; });
    EXPECT_EQ(probe::text(c.row, c.col, cells), c.text);
    EXPECT_EQ(probe::attribute(c.row, c.col), c.attribute);
}

INSTANTIATE_TEST_SUITE_P(
    Drawn, ConsoleCells,
    ::testing::Values(
        DrawCase{"RichText", [] { gotoxy(5, 10); tellraw(RawText("ab/ncd#1&fX", {}, {}, {})); }, 6, 12, "X", 0x1F},
        // Two columns each, on a console that may draw them in one cell: the next starts two on.
        DrawCase{"DoubleByte", [] { gotoxy(2, 3); setColor(0x0E); term::write("中文x"); }, 2, 3, utf8(u8"中"), 0x0E},
        DrawCase{"AfterDoubleByte", [] { gotoxy(2, 3); term::write("中文x"); }, 2, 7, "x", 0x07},
        DrawCase{"LastCellDoesNotScroll", [] { gotoxy(1, 1); term::write("top"); gotoxy(20, 59); term::write("YZ"); },
                 1, 1, "top", 0x07},
        DrawCase{"ClearInBrightWhite", [] { gotoxy(20, 55); setColor(0x1E); term::write("stays?"); clrscr(); }, 20,
                 55, "      ", 0x0F},
        // The player widens the window; the console reflows or loses what it showed.
        DrawCase{"DrawnAgainAfterAResize",
                 [] {
                     term::beginInput(); gotoxy(2, 2); term::write("hello"); term::flush();
                     probe::resize(25, 70); probe::blank(); probe::send({probe::resized()});
                     term::pointer(); // a poll
                 },
                 2, 2, "hello", 0x07}),
    caseName<DrawCase>);

// ---- input records ------------------------------------------------------------------------------

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

class TypedCharacters : public ConsoleInput, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedCharacters, ComeAsTheToolkitReadsThem) {
    probe::send(GetParam().records);
    std::vector<int> typed;
    while (term::keyWaiting()) typed.push_back(term::readKey());
    EXPECT_EQ(typed, GetParam().codes);
}

constexpr int VK_SHIFT = 0x10, VK_MENU = 0x12, VK_DELETE = 0x2E, VK_F1 = 0x70, VK_F12 = 0x7B;

INSTANTIATE_TEST_SUITE_P(
    Records, TypedCharacters,
    ::testing::Values(
        TypedCase{"Letter", {probe::keyDown('A', 'a'), probe::keyUp('A', 'a')}, {'a'}},
        TypedCase{"Enter", {probe::keyDown(platform::VK_RETURN, '\r')}, {13}},
        TypedCase{"KeysWithoutACharacter",
                  {probe::keyDown(platform::VK_UP), probe::keyDown(VK_DELETE), probe::keyDown(VK_F1),
                   probe::keyDown(VK_F12)},
                  {0xE0, 'H', 0xE0, 'S', 0, 0x3B, 0xE0, 0x86}},
        TypedCase{"DoubleByte", {probe::keyDown(0, 0x4E2D)}, {0xD6, 0xD0}},
        TypedCase{"Repeated", {probe::keyDown('X', 'x', 3)}, {'x', 'x', 'x'}},
        TypedCase{"ReleaseTypesNothing", {probe::keyUp('A', 'a'), probe::keyUp(platform::VK_UP)}, {}},
        TypedCase{"ModifierAlone", {probe::keyDown(VK_SHIFT), probe::keyUp(VK_SHIFT)}, {}},
        TypedCase{"AltAndKeypadCode", {probe::keyDown(VK_MENU), probe::keyUp(VK_MENU, 0x6587)}, {0xCE, 0xC4}},
        TypedCase{"BeyondTheBasicPlane", {probe::keyDown(0, 0xD83D), probe::keyDown(0, 0xDE00)}, {'?'}}),
    caseName<TypedCase>);

// At each step records arrive, then the program polls the key once.
struct Step {
    std::vector<Record> records;
    bool down;
};

struct StateCase {
    const char* name;
    int vk;
    std::vector<Step> steps;
};

class KeyAndButtonState : public ConsoleInput, public ::testing::WithParamInterface<StateCase> {};

TEST_P(KeyAndButtonState, ReadsAsTheGamesPollsExpect) {
    int n = 0;
    for (const Step& step : GetParam().steps) {
        probe::send(step.records);
        EXPECT_EQ(platform::keyDown(GetParam().vk), step.down) << "poll " << ++n;
    }
}

const int A = 'A', LEFT = platform::VK_LBUTTON;
const Record PRESS = probe::mouseAt(4, 8, probe::LEFT_BUTTON), RELEASE = probe::mouseAt(4, 8);

INSTANTIATE_TEST_SUITE_P(
    Records, KeyAndButtonState,
    ::testing::Values(
        StateCase{"HeldKey", A, {{{probe::keyDown(A, 'a')}, true}, {{}, true}, {{probe::keyUp(A, 'a')}, false}}},
        StateCase{"TapBetweenPolls", A, {{{probe::keyDown(A, 'a'), probe::keyUp(A, 'a')}, true}, {{}, false}}},
        StateCase{"FocusLost", A, {{{probe::keyDown(A, 'a')}, true}, {{probe::focusLost()}, false}}},
        StateCase{"HeldButton", LEFT, {{{PRESS}, true}, {{}, true}, {{RELEASE}, false}}},
        StateCase{"ClickBetweenPolls", LEFT, {{{PRESS, RELEASE}, true}, {{}, false}}},
        StateCase{"Wheel", LEFT, {{{probe::mouseAt(4, 8, probe::LEFT_BUTTON, probe::WHEELED)}, false}}},
        StateCase{"RightButton", LEFT, {{{probe::mouseAt(4, 8, probe::RIGHT_BUTTON)}, false}}},
        StateCase{"DoubleClick", LEFT,
                  {{{PRESS, RELEASE}, true},
                   {{probe::mouseAt(4, 8, probe::LEFT_BUTTON, probe::DOUBLE_CLICK), RELEASE}, true},
                   {{}, false}}}),
    caseName<StateCase>);

TEST_F(ConsoleInput, ThePointerIsTheCellOfTheLastMouseRecord) {
    struct Move {
        Record record;
        int row, col;
    };
    for (const Move& m : {Move{probe::mouseAt(3, 7), 3, 7}, Move{probe::mouseAt(20, 60, 0, probe::MOVED), 20, 60}}) {
        probe::send({m.record});
        POINT pt;
        getpos(pt);
        EXPECT_EQ(pt.x, m.row);
        EXPECT_EQ(pt.y, m.col);
    }
}

// ---- the modes the launcher holds ---------------------------------------------------------------

TEST_F(WindowsConsole, TheLauncherTakesMouseAndWindowInputWithQuickEditOff) {
    unsigned before = probe::inputMode();
    term::beginInput();
    unsigned held = probe::inputMode();
    unsigned wanted = probe::MOUSE_INPUT | probe::WINDOW_INPUT | probe::EXTENDED_FLAGS | probe::PROCESSED_INPUT;
    EXPECT_EQ(held & wanted, wanted);
    EXPECT_EQ(held & probe::QUICK_EDIT, 0u) << "a click would start a selection";
    EXPECT_EQ(held & (probe::LINE_INPUT | probe::ECHO_INPUT), 0u) << "keys would wait for Enter and echo";
    term::endInput();
    EXPECT_EQ(probe::inputMode(), before);
}

// ---- the game started in this console, and its ways out -----------------------------------------

class GameInTheConsole : public WindowsConsole {
protected:
    testing_support::TempWorkDir dir;
    std::string before;
    unsigned output = 0;

    void SetUp() override {
        WindowsConsole::SetUp();
        probe::setTitle("Command Prompt");
        probe::blank(); // what an earlier game drew is not this one's launcher
        before = probe::state();
        output = probe::outputMode();
    }
    // Waits until the launcher holds the console.
    static void expectLauncher() {
        ASSERT_TRUE(probe::waitFor([] { return probe::title() == "Game Launcher"; }, 30000));
        ASSERT_TRUE(probe::waitFor([] { return probe::text(16, 26, 9) == "  Start  "; }, 10000));
        EXPECT_FALSE(probe::cursorVisible());
    }
    // Pressed, held until the program shows it acted, then released, as a player clicks: Wine's
    // console under load can be slower than a click that begins and ends between two rounds.
    static bool clickUntil(int row, int col, const std::function<bool()>& acted, int ms) {
        probe::send({probe::mouseAt(row, col, probe::LEFT_BUTTON)});
        bool done = probe::waitFor(acted, ms);
        probe::send({probe::mouseAt(row, col)});
        return done;
    }
};

TEST_F(GameInTheConsole, CtrlCDuringTheLauncherGivesTheConsoleBack) {
    probe::Game game(dir.path().string());
    ASSERT_TRUE(game.started());
    ASSERT_NO_FATAL_FAILURE(expectLauncher());
    game.typeCtrlC();
    // Ended by the system's own handler, after ours (Windows gives 0xC000013A as the exit code,
    // Wine 0); the launcher itself never ends but through the game window.
    EXPECT_NE(game.exitCode(20000), -1) << "still running after Ctrl-C";
    EXPECT_EQ(probe::state(), before);
}

TEST_F(GameInTheConsole, TheRowAndButtonClickedStartTheGameAndClosingItsWindowEndsWithZero) {
    probe::Game game(dir.path().string());
    ASSERT_TRUE(game.started());
    ASSERT_NO_FATAL_FAILURE(expectLauncher());
    // The first size; on this desktop the second is chosen at first.
    EXPECT_TRUE(clickUntil(7, 10, [] { return probe::attribute(7, 7) == 0x97; }, 10000)) << "the clicked row chosen";
    ASSERT_TRUE(clickUntil(16, 30, [&] { return game.windowOpened(0); }, 30000));
    EXPECT_EQ(probe::outputMode(), output) << "diagnostics printed during the game must wrap";
    probe::send({probe::keyDown('Q', 'q')});
    game.closeWindow();
    EXPECT_EQ(game.exitCode(20000), 0);
    EXPECT_EQ(probe::state(), before);
    EXPECT_EQ(probe::unreadRecords(), 0) << "keys typed for the program must not reach the prompt";
    std::ifstream in("setting.ini");
    std::stringstream saved;
    saved << in.rdbuf();
    EXPECT_EQ(saved.str(), "0\n0\n");
}

} // namespace
