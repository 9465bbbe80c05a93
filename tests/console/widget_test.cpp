// The widget toolkit: layout relative to forms, drawing, and polling with the pointer, the left
// button and typed keys coming through the emulated terminal.
#include "console/console.h"
#include "support/console_fixture.h"
#include "platform/headless/headless.h"
#include "platform/headless/terminal_twin.h"

namespace term = platform::terminal;
using namespace console_test;
namespace {
long long virtualNow() { return platform::headless::clock(); }
} // namespace

class Widgets : public ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        setWindowSize("test", 60, 20);
        term::beginInput();
    }
    static void pointAt(int row, int col) { screen::movePointer(row, col); }
    static void click(int row, int col) {
        pointAt(row, col);
        screen::setLeftButton(true);
        screen::setLeftButton(false);
    }
};

TEST_F(Widgets, PositionsAreRelativeToTheFormThroughEveryLevel) {
    Form top(1, 1, 18, 60, nullptr, 0);
    Form inner(5, 5, 14, 20, &top, 0);
    Form deeper(2, 3, 5, 10, &inner, 0);
    Label label(toRaw("hi"), 2, 2, &deeper);
    EXPECT_EQ(inner.xpos, 5);
    EXPECT_EQ(inner.ypos, 5);
    EXPECT_EQ(deeper.xpos, 6);
    EXPECT_EQ(deeper.ypos, 7);
    EXPECT_EQ(label.xpos, 7);
    EXPECT_EQ(label.ypos, 8);
    EXPECT_EQ(screen::text(7, 8, 2), "hi");
    EXPECT_EQ(inner.sonObjects, std::vector<Object*>{&deeper});
    EXPECT_EQ(label.id, LABEL);
    EXPECT_EQ(top.id, FORM);
}

TEST_F(Widgets, AFormBlanksItsRectangleInItsColourThenDrawsItsChildren) {
    Form top(1, 1, 20, 60, nullptr, 0);
    gotoxy(16, 20);
    term::write(std::string(18, 'x'));
    Form submit(16, 26, 2, 10, &top, 3);
    EXPECT_EQ(screen::text(16, 20, 18), "xxxxxx          xx") << "columns 26 to 35 blanked, the rest kept";
    EXPECT_EQ(screen::background(16, 26), 3);
    EXPECT_EQ(screen::background(17, 35), 3);
    EXPECT_NE(screen::background(17, 36), 3);
    EXPECT_NE(screen::background(18, 26), 3);
}

TEST_F(Widgets, ButtonHoverAndClick) {
    Form top(1, 1, 18, 60, nullptr, 0);
    Form submit(16, 26, 2, 10, &top, 0);
    Button start(toRaw("&f  Start  "), 1, 1, &submit, 2, 1);
    EXPECT_EQ(start.width, 9);
    EXPECT_EQ(screen::text(16, 26, 9), "  Start  ");
    EXPECT_EQ(screen::background(16, 26), 2);

    pointAt(16, 34);
    EXPECT_EQ(start.preserve(), 1);
    EXPECT_EQ(start.preserve(), 1);
    EXPECT_EQ(screen::background(16, 30), 1) << "the poll after a hover draws the highlight";
    for (auto [row, col] : {std::pair{16, 35}, std::pair{17, 26}, std::pair{16, 25}}) {
        pointAt(row, col);
        EXPECT_EQ(start.preserve(), 0) << row << "," << col;
    }
    start.preserve();
    EXPECT_EQ(screen::background(16, 30), 2);

    click(16, 26);
    long long before = virtualNow();
    EXPECT_EQ(start.preserve(), 2);
    EXPECT_EQ(virtualNow() - before, SLEEP_TIME);
}

TEST_F(Widgets, DisabledAndUndrawnButtonsNeverAnswer) {
    Form top(1, 1, 18, 60, nullptr, 0);
    Button off(toRaw("Off"), 3, 3, &top, 2, 1);
    off.enable = false;
    click(3, 4);
    EXPECT_EQ(off.preserve(), 0);
    EXPECT_EQ(screen::background(3, 3), 8);

    top.visible = false;
    Button undrawn(toRaw("New"), 5, 3, &top, 2, 1);
    undrawn.visible = false;
    EXPECT_EQ(undrawn.width, 0);
    click(5, 3);
    EXPECT_EQ(undrawn.preserve(), 0);
    EXPECT_EQ(screen::text(5, 3, 3), "   ");
}

TEST_F(Widgets, HideBlanksThroughTheFormAndShowDrawsAgain) {
    Form top(1, 1, 18, 60, nullptr, 0);
    Form box(3, 3, 3, 20, &top, 0);
    Label a(toRaw("alpha"), 1, 1, &box);
    Label b(toRaw("beta"), 2, 1, &box);
    a.hide();
    EXPECT_EQ(screen::text(3, 3, 5), "     ");
    EXPECT_EQ(screen::text(4, 3, 4), "beta");
    a.show();
    EXPECT_EQ(screen::text(3, 3, 5), "alpha");
    b.remove();
    EXPECT_EQ(screen::text(4, 3, 4), "    ");
    EXPECT_FALSE(b.visible);
    EXPECT_FALSE(b.enable);
}

TEST_F(Widgets, OptionsOfAFormExcludeEachOtherButNotCheckBoxes) {
    Form top(1, 1, 18, 60, nullptr, 0);
    Form group(2, 2, 4, 30, &top, 0);
    Option first(toRaw("one"), 1, 1, &group, 10, '*', "()");
    Option second(toRaw("two"), 2, 1, &group, 10, '*', "()");
    CheckBox box(toRaw("box"), 3, 1, &group, 10, 'O', "[]");
    box.set(1);
    first.set(1);
    EXPECT_EQ(screen::text(2, 2, 6), "(*)one");

    click(3, 3);
    EXPECT_EQ(first.preserve(), 0);
    long long before = virtualNow();
    EXPECT_EQ(second.preserve(), 2);
    EXPECT_EQ(virtualNow() - before, SLEEP_TIME);
    EXPECT_FALSE(first.chosen);
    EXPECT_TRUE(second.chosen);
    EXPECT_EQ(screen::text(2, 2, 3), "( )");
    EXPECT_EQ(screen::text(3, 2, 3), "(*)");

    click(3, 3);
    second.preserve();
    EXPECT_FALSE(first.chosen);
    EXPECT_FALSE(second.chosen) << "a click on the chosen option leaves none chosen";
    EXPECT_TRUE(box.chosen) << "check boxes in the form are left alone";
}

TEST_F(Widgets, CheckBoxDrawsBracketsTickAndCaption) {
    Form top(1, 1, 18, 60, nullptr, 0);
    Form form(6, 24, 1, 20, &top, 0);
    CheckBox debug(toRaw("&fDebug Mode"), 1, 1, &form, 10, 'O', "[]");
    EXPECT_EQ(debug.id, CHECKBOX);
    EXPECT_EQ(debug.width, 13);
    EXPECT_EQ(screen::text(6, 24, 13), "[ ]Debug Mode");
    click(6, 36);
    EXPECT_EQ(debug.preserve(), 2);
    EXPECT_EQ(screen::text(6, 24, 3), "[O]");
    EXPECT_EQ(screen::foreground(6, 24), 15);
    EXPECT_EQ(screen::background(6, 25), 10) << "black on the tick colour under the pointer";
    pointAt(1, 1);
    debug.preserve();
    debug.preserve();
    EXPECT_EQ(screen::foreground(6, 25), 10);
    debug.enable = false;
    debug.print();
    EXPECT_EQ(screen::foreground(6, 24), 8);
    EXPECT_EQ(screen::foreground(6, 25), 8);

    // A bracket string that is too short draws what there is.
    CheckBox bare(toRaw("x"), 3, 1, &top, 10, 'O', "");
    EXPECT_EQ(bare.width, 2);
}

TEST_F(Widgets, ListPagesRowsAndReportsTheClickedIndex) {
    Form top(1, 1, 18, 60, nullptr, 0);
    Form form(5, 5, 10, 20, &top, 0);
    std::vector<RawText> rows{toRaw("r0"), toRaw("r1"), toRaw("r2"), toRaw("r3")};
    List list(toRaw("T"), 2, 3, 15, &form, &rows, 3, 9, " %d//%d");
    EXPECT_EQ(list.isChosen, -1) << "no row chosen until the owner or a click chooses one";
    EXPECT_EQ(screen::text(6, 7, 5), "T 1/2");
    EXPECT_EQ(screen::text(9, 7, 2), "r2");
    for (int col = 7; col < 22; ++col) EXPECT_EQ(screen::background(8, col), 0);

    list.nextPage();
    EXPECT_EQ(screen::text(6, 7, 5), "T 2/2");
    EXPECT_EQ(screen::text(7, 7, 2), "r3");
    EXPECT_EQ(screen::text(8, 7, 2), "  ");
    click(7, 21);
    EXPECT_EQ(list.preserve(), 3);
    EXPECT_EQ(list.isChosen, 3);
    EXPECT_EQ(screen::background(7, 21), 9);
    EXPECT_EQ(screen::background(7, 22), 0);
    click(7, 22);
    EXPECT_EQ(list.preserve(), -1);

    list.nextPage();
    list.print();
    EXPECT_EQ(list.nowPage, 2) << "past the last page stays on it";
    list.prevPage();
    EXPECT_EQ(list.nowPage, 1);

    rows.pop_back();
    list.print();
    EXPECT_EQ(screen::text(6, 7, 5), "T 1/1");
    rows.clear();
    list.print();
    EXPECT_EQ(screen::text(6, 7, 5), "T 1/1");
    EXPECT_EQ(screen::text(7, 7, 2), "r0") << "an empty list draws no row over the old ones";
    list.enable = false;
    EXPECT_EQ(list.preserve(), -1);
}

TEST_F(Widgets, ProgressBarFillsItsShareAndNeverMore) {
    Form top(1, 1, 18, 60, nullptr, 0);
    int value = 7;
    ProgressBar bar(toRaw("HP"), 2, 1, 20, &top, &value, 20, 12, 3);
    EXPECT_EQ(screen::rowText(2), "HP[" + std::string(20, ' ') + "] 7/20");
    EXPECT_EQ(bar.numLen, 5);
    int filled = 0;
    for (int col = 4; col < 24; ++col) filled += screen::background(2, col) == 12;
    EXPECT_EQ(filled, 7);
    EXPECT_EQ(screen::foreground(2, 26), 12);
    EXPECT_EQ(screen::foreground(2, 27), 15);

    // Whole cells of the share, truncated whatever is left over: 15 of 22 is exactly 15 (not the
    // 14.99... of a share taken in double), 6.67 gives 6 and 13.33 gives 13.
    struct Fill {
        int width, value, maxVal, cells;
    };
    int row = 4;
    for (Fill f : {Fill{22, 15, 22, 15}, Fill{20, 1, 3, 6}, Fill{20, 2, 3, 13}}) {
        ProgressBar share(toRaw(""), row, 1, f.width, &top, &f.value, f.maxVal, 12, 0);
        int cells = 0;
        for (int col = 1; col <= 30; ++col) cells += screen::background(row, col) == 12;
        EXPECT_EQ(cells, f.cells) << f.value << " of " << f.maxVal << " on " << f.width << " cells";
        ++row;
    }

    gotoxy(2, 31);
    term::write("neighbour");
    for (int outside : {35, -4, 20}) {
        value = outside;
        bar.print();
        EXPECT_EQ(screen::text(2, 24, 1), "]") << outside;
        EXPECT_NE(screen::background(2, 24), 12) << outside;
        EXPECT_NE(screen::background(2, 3), 12) << outside;
    }
    EXPECT_EQ(screen::background(2, 23), 12);
    EXPECT_EQ(screen::text(2, 31, 9), "neighbour");
    bar.maxVal = 0;
    bar.print(); // no division by zero
    EXPECT_EQ(screen::text(2, 24, 1), "]");
}

TEST_F(Widgets, ValueLabelsShowTheBoundValueAndBlankTheOldOne) {
    Form top(1, 1, 18, 60, nullptr, 0);
    double speed = 2.5;
    LabelVal real(toRaw("v="), 3, 1, &top, &speed, 11, -1);
    EXPECT_EQ(screen::rowText(3), "v=2.50");
    EXPECT_EQ(screen::foreground(3, 3), 11);
    int hp = 12345;
    LabelVal whole(toRaw("hp "), 4, 1, &top, &hp, 10, 30);
    EXPECT_EQ(screen::rowText(4), "hp 12345/30");
    hp = 7;
    whole.print();
    EXPECT_EQ(screen::rowText(4), "hp 7/30") << "the longer old value is blanked";
    std::string name = "Ann";
    LabelVal text(toRaw(""), 5, 1, &top, &name, 7, -1);
    EXPECT_EQ(screen::rowText(5), "Ann");
    EXPECT_EQ(text.dataType, _STRING);
}

TEST_F(Widgets, InputBoxTakesFocusByClickAndKeysUpToItsWidth) {
    Form top(1, 1, 18, 60, nullptr, 0);
    InputBox box(toRaw("Name:"), 2, 1, 4, 0, &top, 0x70, 0x07, ' ');
    EXPECT_EQ(box.newy, 6);
    screen::type("z");
    box.preserve();
    EXPECT_EQ(box.nowText, "") << "no focus, no typing";

    click(2, 9);
    box.preserve();
    EXPECT_TRUE(box.hasFocus);
    EXPECT_EQ(screen::background(2, 9), 7);
    // The 'z' typed without focus is still waiting, as on a console.
    screen::type("bcde");
    for (int i = 0; i < 6; ++i) box.preserve();
    EXPECT_EQ(box.nowText, "zbcd");
    EXPECT_EQ(screen::text(2, 6, 5), "zbcd ");
    for (int i = 0; i < 6; ++i) {
        screen::pressKey(screen::Key::Backspace);
        box.preserve();
    }
    EXPECT_EQ(box.nowText, "");
    screen::pressKey(screen::Key::Enter);
    screen::pressKey(screen::Key::Up);
    box.preserve();
    EXPECT_EQ(box.nowText, "");
    box.preserve();
    EXPECT_EQ(box.nowText, "\xE0") << "a two-code key arrives one code per poll";
    box.preserve();
    EXPECT_EQ(box.nowText, "\xE0H");

    click(5, 5);
    box.preserve();
    EXPECT_FALSE(box.hasFocus);
    EXPECT_EQ(screen::background(2, 6), 0);
}

TEST_F(Widgets, PasswordBoxShowsOneMaskPerCharacterOnTheNextRow) {
    Form top(1, 1, 18, 60, nullptr, 0);
    InputBox box(toRaw("Password"), 3, 4, 8, 1, &top, 0x70, 0x07, '*');
    EXPECT_EQ(box.newx, 4);
    EXPECT_EQ(box.newy, 4);
    click(4, 4);
    box.preserve();
    screen::type("abc");
    for (int i = 0; i < 3; ++i) box.preserve();
    EXPECT_EQ(box.nowText, "abc");
    EXPECT_EQ(screen::rowText(4), "   ***");
}

using WidgetsDeathTest = Widgets;

TEST_F(WidgetsDeathTest, WidgetsWithoutAFormFailTheirAssertionInEveryBuild) {
    Label label(toRaw("x"), 1, 1, nullptr);
    EXPECT_DEATH(label.print(), "Assertion failed: !\\(faObject==nullptr\\)");
    EXPECT_DEATH(label.show(), "!\\(faObject==nullptr\\)");
    Option option;
    EXPECT_DEATH(option.set(1), "Assertion failed: faObject!=nullptr");
    int value = 0;
    EXPECT_DEATH(LabelVal(toRaw("x"), 1, 1, nullptr, &value, 7, -1), "!\\(faObject==nullptr\\)");
}
