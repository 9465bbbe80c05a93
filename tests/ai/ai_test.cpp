#include "platform/headless/headless.h"
#include "support/battle_board.h"

namespace headless = platform::headless;
using testing_support::BoardTest;

class OpponentTurn : public BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        b.nowTurn = true;
    }
};
class OpponentPick : public BoardTest {};

// Card animation: 26 frames of 30 ms; attack animation: 17 frames of 28 ms.
constexpr long long PLAY_MS = 26 * 30;
constexpr long long CHARGE_MS = 17 * 28;
constexpr long long STRIKE_MS = 11 * 25;

TEST_F(OpponentTurn, NothingToDoHandsTheTurnBackAfterOneRedraw) {
    b.opCard = {CARD_FPRINCESS};
    b.opSp = 6;
    put(12, 3, 3)->atkCnt = 0;
    ai.work(&game);
    EXPECT_FALSE(b.nowTurn);
    EXPECT_EQ(headless::flushCount(), 1);
    EXPECT_EQ(headless::clock(), 0);
    EXPECT_EQ(b.opCard.size(), 1u);
}

TEST_F(OpponentTurn, CardsGoLeftMostAndTheOneAfterAPlayWaitsAPass) {
    put(12, 0, 3)->atkCnt = 0;
    b.opCard = {CARD_NEWBIE, CARD_HANA, CARD_FPRINCESS}; // A, B, C
    b.opSp = 12;
    ai.work(&game);
    EXPECT_EQ(b.c[11]->id, 10) << "A, first pass";
    EXPECT_EQ(b.c[13]->id, 13) << "C, first pass, at index 1 of the shortened hand";
    EXPECT_EQ(b.c[14]->id, 11) << "B, second pass";
    EXPECT_TRUE(b.opCard.empty());
    EXPECT_EQ(b.opSp, 0);
    EXPECT_FALSE(b.nowTurn);
    EXPECT_EQ(headless::clock(), 3 * PLAY_MS) << "new minions do not attack";

    for (int slot = 15; slot <= 19; ++slot) put(slot, 1, 1)->atkCnt = 0;
    b.opCard = {CARD_NEWBIE};
    b.opSp = 5;
    b.nowTurn = true;
    ai.work(&game);
    EXPECT_EQ(b.opCard.size(), 1u) << "no free place, no play";
}

TEST_F(OpponentTurn, TheHeroFirstElseTheRightMostMarkedMinion) {
    Minion* left = put(4, 1, 9);
    Minion* right = put(9, 1, 9);
    Minion* open = put(11, 2, 5);  // its column (slot 2) is empty
    Minion* facing = put(13, 2, 5); // slot 4 faces it
    ai.work(&game);
    EXPECT_EQ(hero(false)->nowhp, 28);
    EXPECT_EQ(right->nowhp, 7);
    EXPECT_EQ(left->nowhp, 9);
    EXPECT_EQ(open->atkCnt + facing->atkCnt, 0);
    EXPECT_EQ(facing->nowhp, 4) << "struck back";
    EXPECT_EQ(headless::clock(), 2 * CHARGE_MS + 3 * STRIKE_MS);
    EXPECT_FALSE(b.nowTurn);

    put(6, 1, 9, TAUNT);
    open->beginOfMyTurn(&game);
    b.nowTurn = true;
    ai.work(&game);
    EXPECT_EQ(b.c[6]->nowhp, 7) << "taunt keeps it off the hero";
    EXPECT_EQ(hero(false)->nowhp, 28);
}

TEST_F(OpponentTurn, AFallenHeroStopsTheTurnWhereItIs) {
    headless::setKey(VK_SPACE, true); // the end screen waits for space
    hero(false)->nowhp = 2;
    put(11, 2, 2);
    Minion* idle = put(12, 2, 2);
    b.opCard = {CARD_NEWBIE};
    b.opSp = 1;
    ai.work(&game);
    EXPECT_TRUE(game.gameEnd);
    EXPECT_TRUE(b.nowTurn) << "the turn is not handed back";
    EXPECT_EQ(idle->atkCnt, 1) << "no attack after the end";
}

TEST_F(OpponentTurn, ItsSpellWaitsForThePlayersClickAndRelease) {
    b.opCard = {CARD_HIT};
    b.opSp = 2;
    // Once the card has flown in, the clock stands still while the cast waits on the button.
    int waiting = 0, hpWhenReleased = 0;
    script([&] {
        if (headless::clock() != PLAY_MS) return;
        ++waiting;
        if (waiting == 10) headless::setKey(VK_LBUTTON, true);
        if (waiting == 20) {
            headless::setKey(VK_LBUTTON, false);
            hpWhenReleased = hero(false)->nowhp;
        }
    });
    ai.work(&game);
    EXPECT_GE(waiting, 20) << "the cast waited for the release";
    EXPECT_EQ(hpWhenReleased, 30) << "no damage before the acknowledgement";
    EXPECT_EQ(hero(false)->nowhp, 27) << "the player's hero is the lowest marked slot";
    EXPECT_TRUE(b.opCard.empty());
    EXPECT_EQ(b.opSp, 0);
}

TEST_F(OpponentPick, HeroThenLowestMinionThenItsOwnHero) {
    struct Case {
        std::vector<int> marks;
        int pick;
    };
    for (const Case& c : {Case{{1}, 1}, Case{{12, 5}, 5}, Case{{3, 0}, 0}, Case{{}, 1}, Case{{19, 1}, 19}}) {
        for (bool& m : b.canAsTarget) m = false;
        for (int slot : c.marks) b.canAsTarget[slot] = true;
        EXPECT_EQ(ai.chooseTarget(&game), c.pick);
    }
}
