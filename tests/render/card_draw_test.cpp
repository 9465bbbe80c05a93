#include "battle_fixture.h"
#include "platform/headless/headless.h"
#include "render/layout.h"

namespace {

constexpr uint32_t RED = 0xFF4040; // 0x4040FF as a COLORREF
constexpr uint32_t WHITE_PX = 0xFFFFFF;
const int LX = 1130, LY = 114; // large view corner

class HandCard : public BattleScreen {
protected:
    // A pixel of the large view that no badge or text covers.
    bool largeViewShown() const { return at(1300, 400) == colourOf("card_com_l"); }
};

TEST_F(HandCard, FaceBadgesAndNumbersStandWhereTheCardIsHeld) {
    open(1.0);
    addHandCard();
    auto* card = addHandCard("c_hana", 7);
    card->rarity = 2;
    card->atk = 4;
    card->hp = 5;
    game.battle.myCard.push_back(new SpellCard(10000, "c_hit", 2, 1, "说明", "打击"));
    pointAt(700, 500);
    frame();
    int x = CardPos[1].x, y = CardPos[1].y;
    EXPECT_EQ(at(x + 41, y + 20), colourOf("card_epic")) << "the rarity frame on top of art and background";
    EXPECT_EQ(at(x + 41, y + 162), colourOf("sp2")) << "the cost gem, 30 below the face";
    EXPECT_EQ(at(x - 20, y + 95), colourOf("atk"));
    EXPECT_EQ(at(x + 82 + 20, y + 95), colourOf("hp"));
    EXPECT_TRUE(textAt("7", x + 41, y + 142, 46, 32, 0x000000)) << "the cost is black";
    EXPECT_TRUE(textAt("4", x, y + 112, 46, 32, WHITE_PX));
    EXPECT_TRUE(textAt("5", x + 82, y + 112, 46, 32, WHITE_PX));

    int sx = CardPos[2].x, sy = CardPos[2].y;
    EXPECT_EQ(at(sx + 41, sy + 20), colourOf("card_rare"));
    EXPECT_TRUE(textAt("2", sx + 41, sy + 142, 46, 32, 0x000000, colourOf("sp2"))) << "no badges beside it";
    EXPECT_EQ(at(sx - 20, sy + 95), colourOf("bg")) << "a spell has no attack badge";
    EXPECT_EQ(at(sx + 82 + 20, sy + 95), colourOf("bg")) << "nor a health badge";
}

TEST_F(HandCard, HoverBoxReachesThirtyUnitsRightOfTheFaceButNotBelowIt) {
    open(1.0);
    addHandCard();
    addHandCard();
    int x = CardPos[0].x, y = CardPos[0].y;
    struct Probe {
        int dx, dy;
        bool shown;
    } probes[] = {
        {0, 0, true},     {41, 112, true},   {112, 56, true}, // edges included, 30 past the face
        {113, 56, false}, {129, 56, false},                    // the gap before the next card
        {41, 113, false}, {41, 130, false},  {41, 158, false}, // below the face: the cost gem
        {-1, 56, false},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(testing::Message() << "pointer at card + (" << p.dx << ", " << p.dy << ")");
        pointAt(x + p.dx, y + p.dy);
        frame();
        EXPECT_EQ(largeViewShown(), p.shown);
    }
}

TEST_F(HandCard, LargeViewShowsInEveryStatusWithItsTexts) {
    open(0.75);
    auto* card = addHandCard("c_hana", 6);
    card->atk = 3;
    card->hp = 9;
    card->name = "花";
    pointAt(CardPos[0].x + 40, CardPos[0].y + 40);
    for (int s : {DISABLE, FREE, CHANGECARD, USECARD, ATKCARD, SETTARGET}) {
        SCOPED_TRACE(s);
        game.status = s;
        game.cardChosen = 0;
        frame();
        EXPECT_TRUE(largeViewShown());
        EXPECT_EQ(at(LX + 30, LY + 30), colourOf("sp+")) << "the cost badge over the frame's corner";
        EXPECT_EQ(at(LX + 30, LY + 494 - 30), colourOf("atk+"));
        EXPECT_EQ(at(LX + 328 - 30, LY + 494 - 30), colourOf("hp+"));
        EXPECT_TRUE(textAt("3", LX, LY + 494, 46, 32, WHITE_PX, colourOf("atk+")));
        EXPECT_TRUE(textAt("9", LX + 328, LY + 494, 46, 32, WHITE_PX, colourOf("hp+")));
        EXPECT_TRUE(textAt("6", LX, LY, 46, 32, WHITE_PX, colourOf("sp+")));
        EXPECT_TRUE(textAt("说明", LX + 164, LY + 390, 260, 140, 0x000000));
        EXPECT_TRUE(textAt("花", LX + 164, LY + 520, 330, 32, WHITE_PX));
    }
}

TEST_F(HandCard, ExchangeMarkersShowOnlyWhileThePointerIsInTheHandStrip) {
    open(1.0);
    for (int i = 0; i < 4; ++i) addHandCard();
    game.battle.myCard[2]->changed = true;
    game.status = CHANGECARD;
    auto markerOf = [&](int i) { return at(CardPos[i].x + 41, CardPos[i].y - 20); };

    pointAt(CardPos[1].x + 100, 900); // on card 1's hover box, beside its face
    frame();
    EXPECT_EQ(markerOf(1), colourOf("cho"));
    for (int i : {0, 2, 3}) EXPECT_EQ(markerOf(i), colourOf("ava")) << i;

    pointAt(650, 1000); // in the strip, over no card
    frame();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(markerOf(i), colourOf("ava")) << i;

    for (auto [x, y] : {std::pair{650, 849}, std::pair{1313, 900}, std::pair{400, 500}}) {
        SCOPED_TRACE(testing::Message() << "pointer at (" << x << ", " << y << ")");
        pointAt(x, y);
        frame();
        for (int i = 0; i < 4; ++i) EXPECT_EQ(markerOf(i), colourOf("bg")) << i;
        EXPECT_EQ(at(CardPos[2].x + 41, CardPos[2].y + 56), colourOf("c_del")) << "whatever the pointer";
        EXPECT_EQ(at(CardPos[1].x + 41, CardPos[1].y + 56), colourOf("card_com"));
    }
}

TEST_F(HandCard, AnExchangeClickFlipsOnceAtTheReleaseWithoutDrawingMeanwhile) {
    open(0.5);
    for (int i = 0; i < 3; ++i) addHandCard();
    game.status = CHANGECARD;
    int flushesAtRelease = -1;
    bool flagAtRelease = true;
    clickFrame(CardPos[1].x + 41, CardPos[1].y + 56, [&] {
        flushesAtRelease = headless::flushCount();
        flagAtRelease = game.battle.myCard[1]->changed;
    });
    EXPECT_EQ(flushesAtRelease, 0) << "nothing is shown while the button is held";
    EXPECT_FALSE(flagAtRelease) << "the flip waits for the release";
    EXPECT_TRUE(game.battle.myCard[1]->changed);
    EXPECT_FALSE(game.battle.myCard[0]->changed);
    EXPECT_FALSE(game.battle.myCard[2]->changed);
    EXPECT_EQ(at(CardPos[1].x + 41, CardPos[1].y + 56), colourOf("c_del")) << "the same frame shows the flip";
    EXPECT_EQ(game.status, CHANGECARD);

    clickFrame(CardPos[1].x + 41, CardPos[1].y + 56);
    EXPECT_FALSE(game.battle.myCard[1]->changed) << "a second click takes the mark back";
}

TEST_F(HandCard, TheChosenCardShowsItsMarkAndAClickOnItGivesTheChoiceBack) {
    open(1.0);
    for (int i = 0; i < 3; ++i) addHandCard();
    game.status = USECARD;
    game.cardChosen = 2;
    pointAt(400, 500);
    frame();
    EXPECT_EQ(at(CardPos[2].x + 41, CardPos[2].y - 20), colourOf("set"));
    EXPECT_EQ(at(CardPos[1].x + 41, CardPos[1].y - 20), colourOf("bg"));

    clickFrame(CardPos[1].x + 41, CardPos[1].y + 56);
    EXPECT_EQ(game.status, USECARD) << "another card takes no click";
    clickFrame(CardPos[2].x + 41, CardPos[2].y + 56);
    EXPECT_EQ(game.status, FREE);
    EXPECT_EQ(game.cardChosen, 2) << "the index stays as it was";
}

TEST_F(HandCard, NoChoiceMarkersOrClicksWhileAnAnimationRuns) {
    open(1.0);
    addHandCard();
    putMinion(4)->atkCnt = 1;
    game.status = DISABLE;
    clickFrame(CardPos[0].x + 41, CardPos[0].y + 56);
    EXPECT_EQ(game.status, DISABLE);
    EXPECT_EQ(at(CardPos[0].x + 41, CardPos[0].y - 20), colourOf("bg"));
    EXPECT_TRUE(at(1300, 400) == colourOf("card_com_l")) << "hovering still shows the large view";
    clickFrame(CharPos[4].x, CharPos[4].y);
    EXPECT_EQ(game.status, DISABLE);
    EXPECT_EQ(game.atkFrom, -1);
    EXPECT_EQ(at(CharPos[4].x, CharPos[4].y - 70), colourOf("bg"));
}

class Board : public BattleScreen {};

TEST_F(Board, EmptyPlacesShowMarkersOnlyOnThePlayersSideWhileACardIsChosen) {
    open(1.0);
    addHandCard();
    for (int s : {DISABLE, FREE, CHANGECARD, USECARD, ATKCARD, SETTARGET}) {
        SCOPED_TRACE(s);
        game.status = s;
        game.cardChosen = 0;
        for (int i = 0; i < 20; ++i) game.battle.canAsTarget[i] = true;
        pointAt(CharPos[6].x + 45, CharPos[6].y - 45);
        frame();
        for (int slot = 2; slot < 20; ++slot) {
            uint32_t expected = colourOf("bg");
            if (s == USECARD && slot <= 10) expected = colourOf(slot == 6 ? "cho" : "ava");
            EXPECT_EQ(at(CharPos[slot].x, CharPos[slot].y), expected) << slot;
            EXPECT_TRUE(solid(CharPos[slot].x - 50, CharPos[slot].y - 62, 24, 124, colourOf("bg"))) << slot;
        }
    }
}

TEST_F(Board, MinionLayersStackInOrder) {
    open(1.0);
    struct Case {
        int special, rarity;
        uint32_t centre, ring, belowPortrait, outerEdge;
    } cases[] = {
        {0, 0, colourOf("c_newbie"), colourOf("min_ni"), colourOf("bg"), colourOf("bg")},
        {0, 3, colourOf("c_newbie"), colourOf("min_gi"), colourOf("bg"), colourOf("bg")},
        {REVIVE, 0, colourOf("revive"), colourOf("revive"), colourOf("bg"), colourOf("bg")},
        {REVIVE | SHIELD, 0, colourOf("shield"), colourOf("shield"), colourOf("bg"), colourOf("bg")},
        {SHIELD | IMMUNE, 0, colourOf("immune"), colourOf("immune"), colourOf("bg"), colourOf("bg")},
        {TAUNT, 0, colourOf("c_newbie"), colourOf("min_ni"), colourOf("bg"), colourOf("taunt")},
        {LIFESTEAL, 0, colourOf("c_newbie"), colourOf("min_ni"), colourOf("lifesteal"), colourOf("bg")},
        {REVIVE | SHIELD | IMMUNE | LIFESTEAL | TAUNT, 3, colourOf("immune"), colourOf("immune"),
         colourOf("lifesteal"), colourOf("taunt")},
    };
    int x = CharPos[15].x, y = CharPos[15].y;
    pointAt(10, 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "special " << c.special << ", rarity " << c.rarity);
        putMinion(15, 2, 3, c.special, c.rarity);
        frame();
        EXPECT_EQ(at(x, y), c.centre);
        EXPECT_EQ(at(x - 44, y), c.ring) << "between the portrait and the frame";
        EXPECT_EQ(at(x - 48, y), c.special & (REVIVE | SHIELD | IMMUNE) ? c.ring : colourOf(c.rarity == 3 ? "min_g" : "min_n"));
        EXPECT_EQ(at(x, y + 66), c.belowPortrait) << "lifesteal stands 50 lower, over the rest";
        EXPECT_EQ(at(x - 55, y), c.outerEdge) << "taunt lies under everything, wider than the frame";
    }
}

TEST_F(Board, HealthTurnsRedOnlyBelowTheMaximumAndAttackStaysWhite) {
    open(1.0);
    Minion* m = putMinion(13, 5, 6);
    int x = CharPos[13].x, y = CharPos[13].y;
    auto* hero = static_cast<MainHero*>(game.battle.c[0]);
    pointAt(10, 10);
    struct Case {
        int nowatk, nowhp, heroHp;
        uint32_t colour;
    } cases[] = {{5, 6, 30, WHITE_PX}, {1, 2, 29, RED}, {9, 8, 31, WHITE_PX}, {5, -1, 0, RED}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nowhp);
        m->nowatk = c.nowatk;
        m->nowhp = c.nowhp;
        hero->nowhp = c.heroHp;
        frame();
        EXPECT_TRUE(textAt(std::to_string(c.nowhp), x + 40, y + 40, 40, 32, c.colour, colourOf("hp")));
        EXPECT_TRUE(textAt(std::to_string(c.nowatk), x - 40, y + 40, 40, 32, WHITE_PX, colourOf("atk")));
        EXPECT_TRUE(textAt(std::to_string(c.heroHp), CharPos[0].x + 40, CharPos[0].y + 40, 40, 32, c.colour,
                           colourOf("hp+")));
    }
    // The same colour rule in a minion's large view.
    m->nowhp = 2;
    pointAt(x + 40, y + 40);
    frame();
    EXPECT_TRUE(textAt("2", LX + 328, LY + 494, 46, 32, RED, colourOf("hp+")));
    EXPECT_TRUE(textAt("5", LX, LY + 494, 46, 32, WHITE_PX, colourOf("atk+")));
}

TEST_F(Board, HoveringShowsAMinionsLargeViewOnBothSidesButNotAHeros) {
    open(1.0);
    putMinion(3, 2, 3, 0, 1, "c_ara");
    putMinion(18, 2, 3, 0, 2, "c_hana");
    struct Probe {
        int x, y;
        uint32_t frameColour;
    } probes[] = {
        {CharPos[3].x - 40, CharPos[3].y - 40, colourOf("card_rare_l")},
        {CharPos[18].x + 40, CharPos[18].y + 40, colourOf("card_epic_l")},
        {CharPos[18].x + 41, CharPos[18].y, colourOf("bg")},
        {CharPos[0].x, CharPos[0].y, colourOf("bg")},
        {CharPos[1].x + 20, CharPos[1].y, colourOf("bg")},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(testing::Message() << "pointer at (" << p.x << ", " << p.y << ")");
        pointAt(p.x, p.y);
        frame();
        EXPECT_EQ(at(1300, 400), p.frameColour);
    }
}

TEST_F(Board, AnOwnMinionThatMayAttackIsChosenByAClick) {
    open(1.0);
    Minion* own = putMinion(4);
    own->atkCnt = 1;
    putMinion(5)->atkCnt = 0;
    putMinion(13)->atkCnt = 1;
    auto markerOf = [&](int slot) { return at(CharPos[slot].x, CharPos[slot].y - 70); };
    pointAt(10, 10);
    frame();
    EXPECT_EQ(markerOf(4), colourOf("ava"));
    EXPECT_EQ(markerOf(5), colourOf("bg")) << "no attack left";
    EXPECT_EQ(markerOf(13), colourOf("bg")) << "the opponent's minions are never chosen";

    clickFrame(CharPos[13].x, CharPos[13].y);
    EXPECT_EQ(game.status, FREE);
    bool statusAtRelease = true;
    clickFrame(CharPos[4].x + 40, CharPos[4].y + 40, [&] { statusAtRelease = game.status == FREE; });
    EXPECT_TRUE(statusAtRelease);
    EXPECT_EQ(game.status, ATKCARD);
    EXPECT_EQ(game.atkFrom, 4);
    pointAt(10, 10);
    frame();
    EXPECT_EQ(markerOf(4), colourOf("set"));
}

TEST_F(Board, ClickingTheAttackerAgainCancelsAndClearsEveryMark) {
    open(0.75);
    putMinion(4)->atkCnt = 1;
    putMinion(13);
    game.status = ATKCARD;
    game.atkFrom = 4;
    for (int slot : {1, 13, 19}) game.battle.canAsTarget[slot] = true;
    pointAt(10, 10);
    frame();
    EXPECT_EQ(at(CharPos[4].x, CharPos[4].y - 70), colourOf("set"));
    EXPECT_EQ(at(CharPos[13].x, CharPos[13].y - 70), colourOf("ava")) << "a marked minion";
    EXPECT_EQ(at(CharPos[1].x, CharPos[1].y - 80), colourOf("ava")) << "a marked hero, 60 above its centre";
    EXPECT_EQ(at(CharPos[19].x, CharPos[19].y), colourOf("bg")) << "a mark on an empty place draws nothing";

    clickFrame(CharPos[4].x - 39, CharPos[4].y - 39);
    EXPECT_EQ(game.status, FREE);
    EXPECT_EQ(game.atkFrom, -1);
    for (int slot = 0; slot < 20; ++slot) EXPECT_FALSE(game.battle.canAsTarget[slot]) << slot;
}

TEST_F(Board, ABattleCryPickRecordsTheTargetAndStartsNoAttack) {
    open(1.0);
    Minion* target = putMinion(13, 2, 3);
    Minion* other = putMinion(14, 2, 3);
    game.status = ATKCARD;
    game.atkTo = -2;
    game.battle.canAsTarget[13] = true;
    game.battle.canAsTarget[1] = true;

    clickFrame(CharPos[14].x, CharPos[14].y);
    EXPECT_EQ(game.atkTo, -2) << "an unmarked character takes no click";
    EXPECT_EQ(game.status, ATKCARD);

    pointAt(CharPos[1].x + 84, CharPos[1].y + 84);
    frame();
    EXPECT_EQ(at(CharPos[1].x, CharPos[1].y - 80), colourOf("cho")) << "the hero's box is 168 square";
    pointAt(CharPos[1].x + 85, CharPos[1].y);
    frame();
    EXPECT_EQ(at(CharPos[1].x, CharPos[1].y - 80), colourOf("ava"));

    int flushes = headless::flushCount();
    clickFrame(CharPos[13].x, CharPos[13].y);
    EXPECT_EQ(game.atkTo, 13);
    EXPECT_EQ(game.atkFrom, -1);
    EXPECT_EQ(game.status, FREE);
    EXPECT_EQ(headless::flushCount(), flushes + 1) << "no strike animation, only the frame itself";
    EXPECT_EQ(target->nowhp, 3);
    EXPECT_EQ(other->nowhp, 3);
}

} // namespace
