#include <vector>

#include "battle_fixture.h"
#include "platform/headless/headless.h"
#include "render/layout.h"

namespace {

constexpr uint32_t WHITE_PX = 0xFFFFFF;

class Screen : public BattleScreen {
protected:
    void setMana(int sp, int max) {
        game.battle.mySp = sp;
        game.battle.mySpMax = max;
    }
};

TEST_F(Screen, NothingIsDrawnOrFlushedOnceTheMatchIsOver) {
    open(1.0);
    putMinion(5);
    pointAt(10, 10);
    frame();
    std::vector<uint32_t> before = headless::lastFrame();
    int flushes = headless::flushCount();

    game.gameEnd = true;
    putMinion(14);
    setMana(3, 3);
    game.status = CHANGECARD;
    clickFrame(1200, 512); // a click on the exchange button, had anything been drawn
    EXPECT_EQ(headless::flushCount(), flushes);
    EXPECT_EQ(game.status, CHANGECARD);
    game.battle.printBattle(&game, false);
    FlushBatchDraw();
    EXPECT_EQ(headless::lastFrame(), before) << "nothing was recorded into the frame";
}

TEST_F(Screen, ManaCrystalsStackUpFromY645WithTheCountBelow) {
    struct Case {
        int sp, max;
        const char* text;
    } cases[] = {{1, 1, "1/1"}, {2, 5, "2/5"}, {10, 10, "10/10"}, {0, 3, "0/3"}};
    open(1.0);
    pointAt(10, 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        setMana(c.sp, c.max);
        frame();
        for (int i = 1; i <= 10; ++i) {
            int bottom = 700 - 55 * i;
            uint32_t expected = i <= c.sp ? colourOf("sp") : i <= c.max ? colourOf("sp_x") : colourOf("bg");
            EXPECT_EQ(at(30, bottom - 1), expected) << "crystal " << i;
            EXPECT_EQ(at(30, bottom - 50), expected) << "crystal " << i;
            EXPECT_EQ(at(30, bottom), colourOf("bg")) << "below crystal " << i;
            EXPECT_EQ(at(23, bottom - 25), colourOf("bg")) << "left of crystal " << i;
        }
        EXPECT_TRUE(textAt(c.text, 48, 690, 128, 32, WHITE_PX, colourOf("bg")));
    }
}

TEST_F(Screen, OpponentManaPilesAndHandCountStandAtTheirPlaces) {
    open(0.5);
    game.battle.opSp = 3;
    game.battle.opSpMax = 7;
    for (int i = 0; i < 34; ++i) game.battle.myDeck.push_back(CARD_NEWBIE);
    for (int i = 0; i < 3; ++i) game.battle.opCard.push_back(CARD_NEWBIE);
    pointAt(10, 10);
    frame();
    EXPECT_EQ(at(910, 100), colourOf("sp"));
    EXPECT_TRUE(textAt("3/7", 1006, 100, 128, 32, WHITE_PX, colourOf("bg")));
    EXPECT_EQ(at(1142, 720), colourOf("card"));
    EXPECT_EQ(at(1142, 188), colourOf("card"));
    EXPECT_EQ(at(76, 50), colourOf("card"));
    EXPECT_EQ(at(75, 50), colourOf("bg"));
    EXPECT_TRUE(textAt("×34", 1270, 810, 128, 32, WHITE_PX));
    EXPECT_TRUE(textAt("×0", 1270, 278, 128, 32, WHITE_PX)) << "an empty deck still shows its card back";
    EXPECT_TRUE(textAt("对手手牌×3", 278, 105, 212, 32, WHITE_PX, colourOf("bg")));

    game.battle.opCard.clear();
    frame();
    EXPECT_TRUE(textAt("对手手牌×0", 278, 105, 212, 32, WHITE_PX, colourOf("bg")));
}

TEST_F(Screen, TheTurnButtonShowsItsStateAndTheOpponentsSignInEveryStatusButTheExchange) {
    open(1.0);
    pointAt(10, 10);
    struct Case {
        int status;
        bool nowTurn;
        const char* shown; // nullptr: no button
    } cases[] = {
        {CHANGECARD, false, "ec"}, {CHANGECARD, true, "ec"}, {FREE, false, "et"},     {FREE, true, "ot"},
        {DISABLE, false, nullptr}, {DISABLE, true, "ot"},    {USECARD, false, nullptr}, {USECARD, true, "ot"},
        {ATKCARD, false, nullptr}, {ATKCARD, true, "ot"},    {SETTARGET, false, nullptr}, {SETTARGET, true, "ot"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "status " << c.status << ", nowTurn " << c.nowTurn);
        game.status = c.status;
        game.battle.nowTurn = c.nowTurn;
        game.cardChosen = -1;
        frame();
        uint32_t expected = c.shown ? colourOf(c.shown) : colourOf("bg");
        EXPECT_EQ(at(1132, 448), expected) << "left edge, vertically centred on 512";
        EXPECT_EQ(at(1309, 575), expected);
        EXPECT_EQ(at(1131, 512), colourOf("bg"));
    }
}

TEST_F(Screen, EndingTheTurnTakesAClickAnywhereInThe178UnitSquareOnlyInFree) {
    open(1.0);
    struct Probe {
        int x, y;
        bool ends;
    } probes[] = {{1132, 448, true}, {1310, 626, true}, {1300, 620, true}, // below the picture, in the box
                  {1311, 500, false}, {1200, 627, false}, {1131, 500, false}};
    for (const Probe& p : probes) {
        SCOPED_TRACE(testing::Message() << "click at (" << p.x << ", " << p.y << ")");
        game.status = FREE;
        game.battle.nowTurn = false;
        bool endedAtRelease = true;
        clickFrame(p.x, p.y, [&] { endedAtRelease = game.battle.nowTurn; });
        EXPECT_EQ(game.battle.nowTurn, p.ends);
        if (p.ends) {
            EXPECT_FALSE(endedAtRelease) << "the turn ends at the release";
        }
        EXPECT_EQ(game.status, FREE);
    }
    for (int s : {DISABLE, USECARD, ATKCARD, SETTARGET}) {
        SCOPED_TRACE(s);
        game.status = s;
        game.battle.nowTurn = false;
        game.cardChosen = -1;
        clickFrame(1200, 512);
        EXPECT_FALSE(game.battle.nowTurn);
        EXPECT_EQ(game.status, s);
    }
}

TEST_F(Screen, TheExchangeButtonEndsTheExchange) {
    open(0.75);
    game.status = CHANGECARD;
    clickFrame(1100, 512);
    EXPECT_EQ(game.status, CHANGECARD);
    int statusAtRelease = -1;
    clickFrame(1250, 600, [&] { statusAtRelease = game.status; });
    EXPECT_EQ(statusAtRelease, CHANGECARD);
    EXPECT_EQ(game.status, DISABLE);
    EXPECT_FALSE(game.battle.nowTurn);
}

TEST_F(Screen, LaterDrawingLiesOnTopInTheStatedOrder) {
    open(1.0);
    // A hand card's large view covers the opponent's deck pile.
    addHandCard();
    pointAt(CardPos[0].x + 10, CardPos[0].y + 10);
    frame();
    EXPECT_EQ(at(1150, 200), colourOf("card_com_l")) << "the preview over the opponent's deck";
    pointAt(10, 10);
    frame();
    EXPECT_EQ(at(1150, 200), colourOf("card"));
}

} // namespace
