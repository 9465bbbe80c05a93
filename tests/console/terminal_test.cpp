// The terminal half of the seam, read back through the emulated terminal: what reaches the
// screen, what is (not) sent again, and how the terminal's input becomes keys, clicks and
// typed characters.
#include "console/console.h"
#include "console_fixture.h"

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

TEST_F(TerminalOutput, TextCannotSendEscapeSequencesToTheTerminal) {
    setWindowSize("Game Launcher", 60, 20);
    gotoxy(1, 1);
    term::write("a\x1b]0;evil\x07" "b\x1b[2J");
    setWindowSize("x\x1b]0;y\x07z", 60, 20);
    EXPECT_EQ(screen::rowText(1), "a]0;evilb[2J");
    EXPECT_EQ(screen::title(), "x]0;yz");
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
