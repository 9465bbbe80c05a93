#include <memory>

#include "battle_fixture.h"
#include "platform/headless/headless.h"
#include "render/assets.h"
#include "render/easyx_con.h"

namespace {

// The frame's background is the solid "bg" picture; text goes on top of it.
class TextItem : public BattleScreen {
protected:
    void drawOnBackground(EText text, int dx, int dy) {
        game.printPic("bg", 0, 0, 0);
        text.print(&game, dx, dy);
        FlushBatchDraw();
    }
};

TEST_F(TextItem, BoxEdgesAreScaledOneByOneAtFullAndHalfRate) {
    for (double rate : {1.0, 0.5}) {
        SCOPED_TRACE(rate);
        open(rate);
        drawOnBackground(EText("3/5", WHITE, true, 48, 690, 128, 32), 0, 0);
        // (-16, 674)-(112, 706) at 1.0, (-8, 337)-(56, 353) at 0.5, with the 32 x 16 font scaled.
        EXPECT_TRUE(textAt("3/5", 48, 690, 128, 32, 0xFFFFFF, colourOf("bg")));
        // The same text moved by the print point lands by exactly that much.
        drawOnBackground(EText("3/5", WHITE, true, 0, 0, 128, 32), 910, 100);
        EXPECT_TRUE(textAt("3/5", 910, 100, 128, 32, 0xFFFFFF, colourOf("bg")));
    }
}

TEST_F(TextItem, TheFontKeepsItsSizeWhateverTheBoxAndTheLeftoverStyle) {
    open(0.75);
    settextstyle(90, 70, "Other");
    drawOnBackground(EText("12", 0x0000FF, true, 700, 500, 40, 32), 0, 0);
    EXPECT_TRUE(textAt("12", 700, 500, 40, 32, 0xFF0000, colourOf("bg"))) << "COLORREF red is the low byte";
    LOGFONT f;
    gettextstyle(&f);
    EXPECT_EQ(f.lfHeight, 24);
    EXPECT_EQ(f.lfWidth, 12);
    EXPECT_EQ(f.lfWeight, 1000);
    EXPECT_EQ(f.lfQuality, ANTIALIASED_QUALITY);
    EXPECT_EQ(std::string(f.lfFaceName), game.font);
}

TEST_F(TextItem, AnOddWidthLosesAUnitAndLongTextIsClippedToTheBox) {
    open(1.0);
    // 45 units wide acts as 44: 22 on each side of the centre.
    drawOnBackground(EText("WWWWWWWWWWWW", WHITE, true, 300, 300, 45, 32), 0, 0);
    EXPECT_TRUE(textAt("WWWWWWWWWWWW", 300, 300, 44, 32, 0xFFFFFF, colourOf("bg")));
    EXPECT_TRUE(solid(250, 280, 28, 40, colourOf("bg"))) << "nothing left of x 278";
    EXPECT_TRUE(solid(322, 280, 30, 40, colourOf("bg"))) << "nothing right of x 322";

    // A description box: four lines of the 32-unit font fit in 140, the fifth is cut at the bottom.
    std::string longText = "这是一段很长的说明文字，一行放不下，要分成好几行来显示，直到超出说明框的底边为止。";
    drawOnBackground(EText(longText, BLACK, true, 400, 400, 260, 140), 0, 0);
    EXPECT_TRUE(textAt(longText, 400, 400, 260, 140, 0x000000, colourOf("bg")));
    EXPECT_TRUE(solid(250, 470, 300, 40, colourOf("bg"))) << "nothing below the box";
    bool firstLineInked = false, fifthLineInked = false;
    for (int x = 270; x < 530; ++x) {
        for (int y = 330; y < 362; ++y) firstLineInked |= at(x, y) != colourOf("bg");
        for (int y = 458; y < 470; ++y) fifthLineInked |= at(x, y) != colourOf("bg");
    }
    EXPECT_TRUE(firstLineInked) << "the first line starts at the box's top";
    EXPECT_TRUE(fifthLineInked) << "the fifth line shows down to the cut";
}

class Button : public BattleScreen {
protected:
    // A 300 x 100 picture (across x down) as the catalogue would hold it.
    void addWidePicture() {
        static std::vector<std::unique_ptr<AssetPic>> store;
        auto pic = std::make_unique<AssetPic>();
        pic->height = (int)(300 * game.rate);
        pic->width = (int)(100 * game.rate);
        Surface& s = pic->img.surface;
        s.width = pic->height;
        s.height = pic->width;
        s.pixels.assign((size_t)s.width * s.height, 0x336699);
        computeKeyedRuns(s, KEY_COLOUR);
        game.pmap["wide"] = pic.get();
        store.push_back(std::move(pic));
    }
};

TEST_F(Button, SizesComeFromThePictureSwappedAndTheCaptionCentresOnThem) {
    open(1.0);
    addWidePicture();
    EButton b(400, 200, "wide");
    b.init(&game, "开始", 0x00FFFF, true, 0, 0, 0, 32);
    EXPECT_EQ(b.w, 100);
    EXPECT_EQ(b.h, 300);
    EXPECT_EQ(b.txt.w, 100) << "a zero caption width takes the button's w";
    game.printPic("bg", 0, 0, 0);
    b.show(&game);
    FlushBatchDraw();
    EXPECT_TRUE(solid(400, 200, 300, 10, 0x336699)) << "the picture's top left at (x, y)";
    EXPECT_EQ(at(699, 299), 0x336699u);
    EXPECT_EQ(at(700, 200), colourOf("bg"));
    // The caption box is centred on (x + 50, y + 150): with the swapped sizes that is below the
    // picture, which is only 100 units down.
    EXPECT_TRUE(textAt("开始", 450, 350, 100, 32, 0xFFFF00, colourOf("bg")));
}

TEST_F(Button, ReactsWhileHeldInTheSquareOfItsAcrossSizeWithoutWaiting) {
    open(0.5);
    addWidePicture();
    EButton b(400, 200, "wide");
    b.init(&game, "", WHITE, true, 0, 0, 0, 32);
    auto pressedAt = [&](int x, int y, bool down) {
        headless::setPointer(x, y);
        headless::setKey(VK_LBUTTON, down);
        return b.preserve(&game);
    };
    // The square from (200, 100) to (350, 250) window pixels at half rate, edges included.
    EXPECT_TRUE(pressedAt(200, 100, true));
    EXPECT_TRUE(pressedAt(350, 250, true)) << "300 x 300 units although the picture is 100 units down";
    EXPECT_TRUE(pressedAt(350, 250, true)) << "true on every call while held";
    EXPECT_FALSE(pressedAt(351, 250, true));
    EXPECT_FALSE(pressedAt(350, 251, true));
    EXPECT_FALSE(pressedAt(199, 150, true));
    EXPECT_FALSE(pressedAt(300, 150, false)) << "a pointer over it without a press";
    EXPECT_EQ(headless::sleepCount(), 0);
    EXPECT_EQ(headless::flushCount(), 0);
}

TEST_F(Button, AMissingPictureIsReportedAndGivesNoSize) {
    open(1.0);
    EButton b(10, 20, "no_such_picture");
    testing::internal::CaptureStdout();
    b.init(&game, "冒险模式", 0x00FFFF, true, 0, 0, 0, 32);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Fail to find picture id=no_such_picture\n");
    EXPECT_EQ(b.w, 0);
    EXPECT_EQ(b.h, 0);
    EXPECT_EQ(b.txt.txt, "冒险模式");
    EXPECT_EQ(b.txt.w, 0);
}

} // namespace
