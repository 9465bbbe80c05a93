// The terminal half of the seam, read back through the emulated terminal: what reaches the
// screen, what is (not) sent again, how the terminal's input becomes keys, clicks and typed
// characters, and how the terminal is given back and taken again.
#include <cstdio>
#include <cstdlib>

#include "console/console.h"
#include "support/console_fixture.h"
#include "platform/headless/headless.h"
#include "platform/headless/terminal_twin.h"
#include "platform/ways_out.h"

namespace term = platform::terminal;
using namespace console_test;
using platform::keyDown;
using platform::sleepMs;

namespace {
std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }
} // namespace

class TerminalOutput : public ConsoleTest {};

TEST_F(TerminalOutput, EveryConsoleColourShowsAsTheSameColourOnTheTerminal) {
    // Console bits are blue 1, green 2, red 4: blue (1) must not come out as ANSI red.
    for (int fore = 0; fore < 16; ++fore) {
        gotoxy(1, fore + 1);
        setColor((15 - fore) * 16 + fore);
        term::write("X");
    }
    term::flush();
    for (int fore = 0; fore < 16; ++fore) {
        EXPECT_EQ(screen::foreground(1, fore + 1), fore) << "column " << fore + 1;
        EXPECT_EQ(screen::background(1, fore + 1), 15 - fore) << "column " << fore + 1;
    }
}

TEST_F(TerminalOutput, DoubleByteTextShowsAsItsCharactersTwoColumnsEach) {
    gotoxy(2, 3);
    term::write("中文x");
    term::flush();
    EXPECT_EQ(screen::text(2, 3, 5), utf8(u8"中文x"));
    EXPECT_EQ(getxy(), std::make_pair(2, 8));
    // A lead byte with no valid trail byte shows as '?' and the next byte keeps its meaning.
    gotoxy(3, 1);
    term::write("\xD6" "0" "\xD6");
    gotoxy(4, 1);
    term::flush();
    EXPECT_EQ(screen::text(3, 1, 3), "?0?");
}

TEST_F(TerminalOutput, ADoubleWidthCharacterOnAScreenOneColumnWideShowsAsAQuestionMark) {
    setWindowSize("narrow", 1, 4);
    gotoxy(1, 1);
    term::write("中a文");
    term::flush();
    EXPECT_EQ(screen::rowText(1), "?");
    EXPECT_EQ(screen::rowText(2), "a");
    EXPECT_EQ(screen::rowText(3), "?");
    EXPECT_EQ(getxy(), std::make_pair(4, 1));
}

TEST_F(TerminalOutput, TextCannotSendEscapeSequencesToTheTerminal) {
    setWindowSize("Game Launcher", 60, 20);
    gotoxy(1, 1);
    term::write("a\x1b]0;evil\x07" "b\x1b[2J");
    setWindowSize("x\x1b]0;y\x07z", 60, 20);
    EXPECT_EQ(screen::rowText(1), "a]0;evilb[2J");
    EXPECT_EQ(screen::title(), "x]0;yz");
    // Nor by passing a control byte as the second half of a double-byte character.
    setWindowSize("x\xE9\x18y\xE9\x1b]0;z\x07w", 60, 20);
    EXPECT_EQ(screen::title(), "x?y?]0;zw");
    EXPECT_EQ(screen::rowText(1), "a]0;evilb[2J");
}

TEST_F(TerminalOutput, ClearFillsTheScreenAndLeavesBrightWhite) {
    hideCursor();
    showCursor();
    EXPECT_TRUE(screen::cursorVisible());
    gotoxy(5, 5);
    setColor(0x1E);
    term::write("stays?");
    clrscr();
    EXPECT_EQ(screen::rowText(5), "");
    EXPECT_EQ(screen::background(5, 5), 0);
    EXPECT_EQ(getxy(), std::make_pair(1, 1));
    term::write("Z");
    term::flush();
    EXPECT_EQ(screen::foreground(1, 1), 15) << "clrscr leaves the colour bright white";
}

TEST_F(TerminalOutput, UnchangedCellsAreNotSentAgain) {
    setWindowSize("Game Launcher", 60, 20);
    Form form(1, 1, 10, 30, nullptr, 0);
    Label label(toRaw("&e  Game Launcher - Settings"), 4, 2, &form);
    long long drawn = screen::bytesWritten();
    for (int i = 0; i < 50; ++i) label.print();
    EXPECT_EQ(screen::bytesWritten(), drawn) << "a busy loop redrawing the same text must not flood the terminal";
    label.text = toRaw("&c  Game Launcher - Settings");
    label.print();
    EXPECT_GT(screen::bytesWritten(), drawn);
    EXPECT_EQ(screen::foreground(4, 5), 12);
}

TEST_F(TerminalOutput, OverwritingHalfADoubleWidthCharacterIsRepairedOnTheNextDraw) {
    gotoxy(1, 1);
    term::write("中");
    gotoxy(1, 2);
    term::write("a"); // the terminal blanks the first half
    gotoxy(1, 1);
    term::write("中");
    term::flush();
    EXPECT_EQ(screen::text(1, 1, 2), utf8(u8"中"));
}

TEST_F(TerminalOutput, CursorQueryAsksTheTerminalOnlyOnceAndNeverWaitsForASilentOne) {
    screen::otherOutput("prompt$ \r\n\r\n  $ ");
    EXPECT_EQ(getxy(), std::make_pair(3, 5)) << "where the shell left the cursor";
    EXPECT_EQ(screen::queriesAnswered(), 1);
    term::write("ab");
    EXPECT_EQ(getxy(), std::make_pair(3, 7));
    EXPECT_EQ(screen::queriesAnswered(), 1) << "once placed, the cursor is known without asking";

    platform::headless::enable();
    screen::silenceQueries(true);
    screen::otherOutput("\r\n\r\n");
    EXPECT_EQ(getxy(), std::make_pair(1, 1));
    EXPECT_EQ(screen::queriesAnswered(), 0);
}

class TerminalInput : public ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        term::beginInput();
    }
    static std::vector<int> drain() {
        std::vector<int> keys;
        while (term::keyWaiting()) keys.push_back(term::readKey());
        return keys;
    }
};

TEST_F(TerminalInput, BeginAndEndSwitchRawModeAndMouseReporting) {
    EXPECT_TRUE(screen::rawMode());
    EXPECT_TRUE(screen::mouseReporting());
    term::endInput();
    EXPECT_FALSE(screen::rawMode());
    EXPECT_FALSE(screen::mouseReporting());
    screen::type("d");
    EXPECT_FALSE(keyDown('D')) << "the terminal's keys no longer count";
}

TEST_F(TerminalInput, AKeyCountsAsDownForAShortWhileAfterEachByte) {
    screen::type("d");
    EXPECT_TRUE(keyDown('D'));
    sleepMs(term::KEY_HOLD_MS - 1);
    EXPECT_TRUE(keyDown('D'));
    screen::type("d"); // auto-repeat renews it from the moment the byte is read
    EXPECT_TRUE(keyDown('D'));
    sleepMs(term::KEY_HOLD_MS - 1);
    EXPECT_TRUE(keyDown('D'));
    sleepMs(2);
    EXPECT_FALSE(keyDown('D'));

    screen::pressKey(screen::Key::Enter);
    screen::pressKey(screen::Key::Up);
    screen::type(" ");
    EXPECT_TRUE(keyDown(platform::VK_RETURN));
    EXPECT_TRUE(keyDown(platform::VK_UP));
    EXPECT_TRUE(keyDown(platform::VK_SPACE));
    EXPECT_FALSE(keyDown(platform::VK_DOWN));
}

TEST_F(TerminalInput, TypedKeysArriveAsAConsoleDeliversThem) {
    screen::type("a");
    screen::pressKey(screen::Key::Backspace);
    screen::pressKey(screen::Key::Enter);
    screen::pressKey(screen::Key::Up);
    screen::pressKey(screen::Key::F1);
    screen::pressKey(screen::Key::F5);
    screen::type(utf8(u8"中"));
    std::vector<int> expected{'a', 8, 13, 0xE0, 'H', 0, 0x3B, 0, 0x3F, 0xD6, 0xD0};
    EXPECT_EQ(drain(), expected);

    // A lone ESC is the Escape key once it has waited long enough to be no sequence's start.
    screen::pressKey(screen::Key::Escape);
    EXPECT_FALSE(term::keyWaiting());
    sleepMs(60);
    EXPECT_EQ(drain(), std::vector<int>{27});
}

TEST_F(TerminalInput, MalformedOrEndlessSequencesAreDroppedWithoutLosingLaterKeys) {
    screen::sendBytes("\x1b[" + std::string(200, '7'));
    screen::sendBytes("\xFF\x80");
    EXPECT_FALSE(term::keyWaiting());
    screen::sendBytes("x");
    EXPECT_EQ(drain(), std::vector<int>{'x'});
    screen::sendBytes("\x1b[<0;;M\x1b[<99999999999;3;4M\x1b[1;2;3;4;5;6;7;8;9;10Ay");
    EXPECT_EQ(drain(), (std::vector<int>{0xE0, 'H', 'y'}));
    // Typing into a screen that reads no characters keeps only so much.
    screen::type(std::string(1000, 'k'));
    EXPECT_LE(drain().size(), 256u);
}

TEST_F(TerminalInput, PointerAndLeftButtonFollowMouseReports) {
    POINT pt;
    getpos(pt);
    EXPECT_EQ(pt.x, 0) << "no report yet: the pointer is on no cell";
    screen::movePointer(7, 12);
    getpos(pt);
    EXPECT_EQ(pt.x, 7);
    EXPECT_EQ(pt.y, 12);
    EXPECT_FALSE(keyDown(platform::VK_LBUTTON));
    screen::setLeftButton(true);
    EXPECT_TRUE(keyDown(platform::VK_LBUTTON));
    EXPECT_TRUE(keyDown(platform::VK_LBUTTON)) << "held";
    screen::setLeftButton(false);
    EXPECT_FALSE(keyDown(platform::VK_LBUTTON));

    // The console's pixel-to-cell rule: cells of 8 x 16 pixels.
    screen::movePointerPixel(17, 35);
    getpos(pt);
    EXPECT_EQ(pt.x, 3);
    EXPECT_EQ(pt.y, 3);
    screen::movePointerPixel(0, 0);
    getpos(pt);
    EXPECT_EQ(pt.x, 1);
    EXPECT_EQ(pt.y, 1);
}

TEST_F(TerminalInput, AQuickClickIsSeenOnceUnlessThePointerMovesOnOrItGrowsOld) {
    screen::movePointer(5, 5);
    screen::setLeftButton(true);
    screen::setLeftButton(false); // both reports arrive before the program looks
    EXPECT_TRUE(keyDown(platform::VK_LBUTTON));
    EXPECT_FALSE(keyDown(platform::VK_LBUTTON));

    screen::setLeftButton(true);
    screen::setLeftButton(false);
    screen::movePointer(5, 6);
    EXPECT_FALSE(keyDown(platform::VK_LBUTTON)) << "a click on one cell must not land on the next";

    screen::setLeftButton(true);
    screen::setLeftButton(false);
    POINT pt;
    getpos(pt);
    sleepMs(term::CLICK_KEEP_MS + 1);
    EXPECT_FALSE(keyDown(platform::VK_LBUTTON));
}

// ---- the alternate screen, the cursor, and the ways out and back -------------------------------

namespace {
// The shell's screen and the player's title before the program started.
void shellBefore() { screen::otherOutput("\x1b]0;my shell\x07" "$ echo before\r\nbefore\r\n$ cardbattle\r\n"); }
void expectShellScreen() {
    EXPECT_FALSE(screen::alternateScreen());
    EXPECT_EQ(screen::rowText(3), "$ cardbattle");
    EXPECT_EQ(screen::rowText(5), "") << "nothing of the program's drawing is left";
    EXPECT_EQ(screen::cursorCell().row, 4) << "the prompt comes below the command";
}
// A launcher-like screen: its title, a coloured double-width character, the cursor hidden.
void drawScreen() {
    term::setTitle("Game Launcher");
    term::setCursorVisible(false);
    gotoxy(5, 10);
    setColor(0x1E);
    term::write("Settings 中");
    term::flush();
}
void expectScreenDrawn() {
    EXPECT_TRUE(screen::alternateScreen());
    EXPECT_EQ(screen::rowText(5), std::string(9, ' ') + "Settings " + utf8(u8"中"));
    EXPECT_EQ(screen::background(5, 10), 1);
    EXPECT_EQ(screen::background(2, 3), 0) << "cells never written are black, as in a console, on light terminals too";
    EXPECT_EQ(screen::rowText(1), "") << "the shell's text is not on the program's screen";
    EXPECT_EQ(screen::title(), "Game Launcher");
    EXPECT_FALSE(screen::cursorVisible());
}
} // namespace

class TerminalScreen : public ConsoleTest {};

TEST_F(TerminalScreen, DrawingGoesOnTheAlternateScreenAndLeavingItBringsTheShellsScreenBack) {
    shellBefore();
    drawScreen();
    expectScreenDrawn();
    term::endScreen();
    expectShellScreen();
    // What is written afterwards (diagnostics) comes in the terminal's own colours, below the prompt.
    screen::otherOutput("Fail to find picture id=x");
    EXPECT_EQ(screen::rowText(4), "Fail to find picture id=x");
    EXPECT_EQ(screen::foreground(4, 1), -1);
    EXPECT_FALSE(screen::cursorVisible()) << "the cursor stays hidden while the game runs";
    // Drawing again starts a fresh screen: the same text is sent again.
    drawScreen();
    expectScreenDrawn();
}

// Each case moves the cursor its own way; the terminal's shown cursor must end where the
// program's is, written after or not.
struct CursorCase {
    const char* name;
    void (*steps)();
    term::Cell expected;
};

class CursorFollows : public ConsoleTest, public ::testing::WithParamInterface<CursorCase> {};

TEST_P(CursorFollows, TheShownCursorStandsWhereTheProgramPutIt) {
    GetParam().steps();
    term::flush();
    EXPECT_TRUE(screen::cursorVisible());
    EXPECT_EQ(screen::cursorCell().row, GetParam().expected.row);
    EXPECT_EQ(screen::cursorCell().col, GetParam().expected.col);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, CursorFollows,
    ::testing::Values(
        CursorCase{"MovedAfterWritingElsewhere",
                   [] { showCursor(); gotoxy(1, 1); term::write("a long line"); gotoxy(5, 7); }, {5, 7}},
        CursorCase{"MovedWithNothingWrittenAtAll", [] { showCursor(); gotoxy(9, 20); }, {9, 20}},
        CursorCase{"MovedWhileHiddenThenShown",
                   [] { hideCursor(); gotoxy(1, 1); term::write("abc"); gotoxy(3, 4); showCursor(); }, {3, 4}},
        CursorCase{"MovedBeyondTheScreenStaysInside", [] { showCursor(); gotoxy(99, 99); }, {24, 80}},
        CursorCase{"MovedAwayAndBackAfterWriting",
                   [] { showCursor(); gotoxy(2, 2); term::write("x"); gotoxy(7, 1); gotoxy(2, 3); }, {2, 3}}),
    [](const ::testing::TestParamInfo<CursorCase>& info) { return std::string(info.param.name); });

TEST_F(TerminalScreen, AHiddenCursorIsNotMovedOnTheTerminal) {
    hideCursor();
    term::flush();
    long long sent = screen::bytesWritten();
    for (int row = 2; row < 20; ++row) gotoxy(row, row);
    term::flush();
    EXPECT_EQ(screen::bytesWritten(), sent) << "moves of a hidden cursor cost nothing";
}

// The ways out and back, through the functions the signal handlers run.
class TerminalWaysOut : public ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        shellBefore();
        term::beginInput();
        drawScreen();
    }
    static void expectModesGivenBack() {
        EXPECT_FALSE(screen::alternateScreen());
        EXPECT_FALSE(screen::rawMode());
        EXPECT_TRUE(screen::echoing());
        EXPECT_FALSE(screen::mouseReporting());
        EXPECT_TRUE(screen::cursorVisible());
        EXPECT_EQ(screen::title(), "my shell");
    }
    static void expectTakenBackAndDrawn() {
        platform::keyDown('X'); // a poll
        EXPECT_TRUE(screen::rawMode());
        EXPECT_TRUE(screen::mouseReporting());
        expectScreenDrawn();
    }
};

struct WayOut {
    const char* name;
    void (*take)();
};

class EveryWayOut : public TerminalWaysOut, public ::testing::WithParamInterface<WayOut> {};

TEST_P(EveryWayOut, GivesTheTerminalBackAndDiscardsKeysTypedForTheProgram) {
    screen::type("echo leaked");
    GetParam().take();
    expectShellScreen();
    expectModesGivenBack();
    EXPECT_EQ(screen::unreadInput(), "") << "typed for the program, never to reach the shell";
}

INSTANTIATE_TEST_SUITE_P(Ways, EveryWayOut,
                         ::testing::Values(WayOut{"Stop", screen::stopProgram}, WayOut{"End", screen::endProgram}),
                         [](const ::testing::TestParamInfo<WayOut>& info) { return std::string(info.param.name); });

// Only the first way out gives the terminal back: a signal that comes while the program is ending
// (or a second thread's way out on Windows) must not send the restore codes again.
TEST_F(TerminalWaysOut, IsGivenBackOnceHoweverManyWaysOutAreTaken) {
    EXPECT_EXIT(
        {
            platform::detail::onExit({[](bool) { screen::endProgram(); }, [] {}});
            platform::detail::runExitHooks();
            long long sent = screen::bytesWritten();
            platform::detail::runExitHooks();
            std::fputs(screen::bytesWritten() == sent ? "given back once" : "given back again", stderr);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "given back once");
}

TEST_F(TerminalWaysOut, ContinuingInTheForegroundTakesTheTerminalAndRepaintsAtTheNextPoll) {
    screen::stopProgram();
    screen::otherOutput("\r\n[1]+  Stopped    cardbattle\r\n$ fg\r\n");
    // The program runs on while stopped only in the background; what it draws meanwhile waits.
    gotoxy(14, 3);
    term::write("drawn while stopped");
    term::flush();
    EXPECT_EQ(screen::rowText(1), "$ echo before") << "nothing is drawn over the shell";
    screen::continueProgram(true);
    expectTakenBackAndDrawn();
    EXPECT_EQ(screen::text(14, 3, 19), "drawn while stopped") << dump();
    EXPECT_EQ(screen::rowText(6), "") << "the shell's lines are gone from the program's screen";
    // The next stop still gives back the player's title, not ours.
    screen::stopProgram();
    expectModesGivenBack();
}

TEST_F(TerminalWaysOut, ContinuingInTheBackgroundLeavesTheTerminalToTheShellUntilFg) {
    screen::stopProgram();
    screen::continueProgram(false);
    platform::keyDown('X');
    expectModesGivenBack();
    // Ending there touches nothing: the terminal is another job's.
    screen::type("for the shell");
    screen::endProgram();
    expectShellScreen();
    expectModesGivenBack();
    EXPECT_EQ(screen::unreadInput(), "for the shell");
    screen::continueProgram(true);
    expectTakenBackAndDrawn();
}

TEST_F(TerminalWaysOut, ContinuingAfterAStopThatGaveNothingBackRepaintsOnly) {
    // SIGSTOP cannot be caught: the modes stay, but the shell may have written over the screen.
    screen::otherOutput("\x1b[6;1H[1]+  Stopped    cardbattle");
    screen::continueProgram(true);
    expectTakenBackAndDrawn();
    EXPECT_EQ(screen::rowText(6), "");
    screen::endProgram();
    expectModesGivenBack(); // the title stack was not pushed twice
}

// ---- the terminal's size and echo, given back as they were found ---------------------------------

namespace {
bool sizeIs(int rows, int cols) {
    term::Cell size = screen::screenSize();
    return size.row == rows && size.col == cols;
}
// The player's terminal (of 100 x 30 unless said), and the launcher's screen of 60 x 20 on it.
void launcherOnALargerTerminal(int rows = 30, int cols = 100) {
    screen::resizeScreen(rows, cols);
    shellBefore();
    term::beginInput();
    setWindowSize("Game Launcher", 60, 20);
    drawScreen();
}
// The launcher gives way to the game window.
void gameWindowTime() {
    clrscr();
    term::endInput();
    term::endScreen();
}
} // namespace

// Terminals larger than the launcher's 60 x 20 on both sides, or on one side only.
struct PlayersTerminal {
    const char* name;
    int rows, cols;
};
const PlayersTerminal TERMINALS[] = {{"Larger", 30, 100}, {"Taller", 30, 60}, {"Wider", 20, 100}};

class SizeGivenBack : public ConsoleTest, public ::testing::WithParamInterface<std::tuple<PlayersTerminal, WayOut>> {};

TEST_P(SizeGivenBack, TheTerminalGetsTheSizeItHadBeforeTheLauncher) {
    auto [terminal, way] = GetParam();
    launcherOnALargerTerminal(terminal.rows, terminal.cols);
    ASSERT_TRUE(sizeIs(20, 60)) << "a terminal that grants size requests";
    way.take();
    EXPECT_TRUE(sizeIs(terminal.rows, terminal.cols)) << screen::screenSize().col << " x " << screen::screenSize().row;
    expectShellScreen();
}

INSTANTIATE_TEST_SUITE_P(Ways, SizeGivenBack,
                         ::testing::Combine(::testing::ValuesIn(TERMINALS),
                                            ::testing::Values(WayOut{"Stop", screen::stopProgram},
                                                              WayOut{"End", screen::endProgram})),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
                         });

class TerminalSize : public ConsoleTest {};

TEST_F(TerminalSize, ContinuingOnTheLaunchersScreenAsksForItsSizeAgainButNotInTheGamesTime) {
    launcherOnALargerTerminal();
    screen::stopProgram();
    screen::continueProgram(true);
    platform::keyDown('X'); // a poll: the repaint
    EXPECT_TRUE(sizeIs(20, 60));
    EXPECT_EQ(screen::rowText(5), std::string(9, ' ') + "Settings " + utf8(u8"中")) << dump();

    gameWindowTime();
    screen::stopProgram();
    EXPECT_TRUE(sizeIs(30, 100));
    screen::continueProgram(true);
    platform::keyDown('X');
    EXPECT_TRUE(sizeIs(30, 100)) << "the game window needs no size of the terminal";
    screen::endProgram();
    EXPECT_TRUE(sizeIs(30, 100));
}

TEST_F(TerminalSize, ATerminalThatCannotSayItsSizeIsNeverAskedToChangeIt) {
    screen::hideSize(true);
    term::beginInput();
    setWindowSize("Game Launcher", 60, 20);
    EXPECT_TRUE(sizeIs(24, 80)) << "asked for 60 x 20 although nothing could give its size back";
    EXPECT_EQ(term::size().row, 24) << "the model keeps the size a terminal is taken to have";
    EXPECT_EQ(term::size().col, 80);
    screen::endProgram();
    EXPECT_TRUE(sizeIs(24, 80));
}

using TerminalEcho = TerminalWaysOut;

TEST_F(TerminalEcho, KeysTypedInTheGamesTimeShowNowhereAndNeverReachTheShell) {
    EXPECT_FALSE(screen::echoing());
    gameWindowTime();
    EXPECT_FALSE(screen::rawMode()) << "cooked mode: Ctrl-C and Ctrl-Z act as the player knows them";
    EXPECT_FALSE(screen::echoing());
    screen::type("echo typed in the game");
    EXPECT_EQ(screen::rowText(4), "") << "shown on the shell's screen:\n" << dump();
    screen::endProgram();
    EXPECT_TRUE(screen::echoing());
    EXPECT_EQ(screen::unreadInput(), "");
}

TEST_F(TerminalEcho, AStopInTheGamesTimeGivesTheShellItsEchoAndTheGameTakesItAway) {
    gameWindowTime();
    screen::stopProgram();
    EXPECT_TRUE(screen::echoing());
    screen::continueProgram(true);
    EXPECT_FALSE(screen::echoing());
    EXPECT_FALSE(screen::rawMode());
}
