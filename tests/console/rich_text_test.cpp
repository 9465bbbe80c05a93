// The "&" rich text: markup, line breaks, arguments, and texts that ask for more than they have.
#include "console/console.h"
#include "support/console_fixture.h"

namespace term = platform::terminal;
using namespace console_test;

class RichText : public ConsoleTest {
protected:
    // Prints at (row, col) on a black background and returns what the row shows from col on.
    static std::string printed(const RawText& text, int row = 1, int col = 1, int count = 20) {
        gotoxy(row, col);
        RawText(text).print(0);
        std::string shown = screen::text(row, col, count);
        size_t end = shown.find_last_not_of(' ');
        return end == std::string::npos ? "" : shown.substr(0, end + 1);
    }
};

TEST_F(RichText, LineBreaksGoBackToTheStartColumnOneRowLowerEachTime) {
    gotoxy(5, 10);
    tellraw(std::string("ab/ncd/nef"));
    EXPECT_EQ(screen::text(5, 10, 2), "ab");
    EXPECT_EQ(screen::text(6, 10, 2), "cd");
    EXPECT_EQ(screen::text(7, 10, 2), "ef");
    EXPECT_EQ(screen::rowText(6).find("cd"), 9u) << "nothing written before column 10";
}

TEST_F(RichText, ColourMarkupSetsForegroundAndBackgroundAndEndsOnWhiteOnBlack) {
    gotoxy(1, 1);
    tellraw(std::string("#1&fX&aY"));
    EXPECT_EQ(screen::text(1, 1, 2), "XY");
    EXPECT_EQ(screen::foreground(1, 1), 15);
    EXPECT_EQ(screen::background(1, 1), 1);
    EXPECT_EQ(screen::foreground(1, 2), 10);
    EXPECT_EQ(screen::background(1, 2), 1) << "'&' keeps the background '#' set";
    term::write("Z");
    term::flush();
    EXPECT_EQ(screen::foreground(1, 3), 7);
    EXPECT_EQ(screen::background(1, 3), 0);

    // Plain text starts in white on the background given.
    gotoxy(2, 1);
    toRaw("a&Bb&zc").print(4);
    EXPECT_EQ(screen::text(2, 1, 3), "abc");
    EXPECT_EQ(screen::background(2, 1), 4);
    EXPECT_EQ(screen::foreground(2, 2), 7) << "upper-case digits name no colour";
    EXPECT_EQ(screen::foreground(2, 3), 7);
    EXPECT_EQ(toHex('a'), 10);
    EXPECT_EQ(toHex('f'), 15);
    EXPECT_EQ(toHex('7'), 7);
    EXPECT_NE(toHex('A'), 10);
}

TEST_F(RichText, PlaceholdersTakeTheirArgumentsInOrder) {
    EXPECT_EQ(printed(RawText("%d%%", {7}, {}, {})), "7");
    EXPECT_EQ(printed(RawText("P %d/%d", {2, 5}, {}, {})), "P 2%d");
    EXPECT_EQ(printed(RawText("P %d//%d", {2, 5}, {}, {})), "P 2/5");
    EXPECT_EQ(printed(RawText("%s=%f %d %x|", {-3}, {"hp"}, {2.5}), 2), "hp=2.50 -3 |");
    EXPECT_EQ(printed(RawText("/&/#/%d", {}, {}, {}), 3), "&#%d");
}

TEST_F(RichText, MissingArgumentsAndATrailingMarkerWriteNothing) {
    EXPECT_EQ(printed(RawText("%d %d %s %f.", {1}, {}, {}), 1), "1   .");
    for (const char* text : {"ab/", "ab&", "ab#", "ab%"}) EXPECT_EQ(printed(toRaw(text), 2), "ab") << text;
    // The colour after a trailing marker is still reset.
    term::write("Z");
    term::flush();
    EXPECT_EQ(screen::foreground(2, 3), 7);
}
