#include "platform/headless/headless.h"
#include "render/layout.h"
#include "support/battle_board.h"

namespace headless = platform::headless;
using testing_support::BoardTest;
using testing_support::colourOf;

class Draw : public BoardTest {
protected:
    // Records the colour at reference point (x, y) of the frame on screen at every sleep.
    void watch(int x, int y) {
        script([=, this, sleeps = headless::sleepCount()]() mutable {
            if (headless::sleepCount() == sleeps) return; // a poll, not a sleep
            sleeps = headless::sleepCount();
            frames.push_back(headless::pixel((int)(x * game.rate), (int)(y * game.rate)));
        });
    }
    std::vector<uint32_t> frames;
};
class GiveCard : public BoardTest {};
class PlayCard : public BoardTest {};

TEST_F(Draw, TheDeckTopFillsTheHandUpToEight) {
    for (int i = 0; i < 7; ++i) b.myCard.push_back(CARD_NEWBIE);
    Card* top = CARD_ARA;
    b.myDeck = {CARD_HANA, top};
    watch(CardPos[7].x + 41, CardPos[7].y + 56);
    b.drawCard(&game, false);
    ASSERT_EQ(b.myCard.size(), 8u);
    EXPECT_EQ(b.myCard[7], top);
    EXPECT_EQ(b.myDeck.size(), 1u);
    EXPECT_EQ(headless::clock(), 19 * 33);
    EXPECT_EQ(headless::flushCount(), 19 + 1) << "the movement, then one redraw";
    ASSERT_EQ(frames.size(), 19u);
    EXPECT_EQ(frames.back(), colourOf("card")) << "the card lands on hand position 7";

    b.drawCard(&game, false);
    EXPECT_EQ(b.myCard.size(), 8u);
    EXPECT_EQ(b.myDeck.size(), 1u) << "a full hand leaves the deck as it was";
    EXPECT_EQ(headless::clock(), 19 * 33);

    b.myCard.clear();
    b.myDeck.clear();
    b.drawCard(&game, false);
    EXPECT_TRUE(b.myCard.empty()) << "an empty deck costs nothing";
    EXPECT_EQ(headless::flushCount(), 20);
}

TEST_F(Draw, TheOpponentDrawsToItsPileWhateverItHolds) {
    for (int i = 0; i < 5; ++i) b.opCard.push_back(CARD_NEWBIE);
    b.opDeck = {CARD_NEWBIE, CARD_NEWBIE};
    watch(609 + 41, 119 + 56); // half way from the deck pile (1142, 188) to the hand pile (76, 50)
    b.drawCard(&game, true);
    EXPECT_EQ(b.opCard.size(), 6u);
    EXPECT_EQ(b.opDeck.size(), 1u);
    ASSERT_EQ(frames.size(), 19u);
    EXPECT_EQ(frames[9], colourOf("card"));
    EXPECT_NE(frames[0], colourOf("card"));

    game.gameEnd = true;
    b.drawCard(&game, true);
    EXPECT_EQ(b.opCard.size(), 7u) << "after the end the cards still move";
    EXPECT_EQ(headless::flushCount(), 20) << "but nothing is drawn";
}

TEST_F(GiveCard, IntoTheNextHandPlaceUnlessTheHandIsFull) {
    for (int i = 0; i < 7; ++i) b.myCard.push_back(CARD_NEWBIE);
    Card* given = CARD_CLAUDE;
    b.getCard(&game, given, false, 6);
    ASSERT_EQ(b.myCard.size(), 8u);
    EXPECT_EQ(b.myCard[7], given);
    EXPECT_EQ(headless::clock(), 17 * 25);
    EXPECT_EQ(headless::flushCount(), 17) << "no redraw after the movement";

    b.getCard(&game, CARD_CLAUDE, false, 6);
    EXPECT_EQ(b.myCard.size(), 8u);
    EXPECT_EQ(headless::flushCount(), 17) << "a full hand: nothing added, nothing animated";

    for (int i = 0; i < 8; ++i) b.opCard.push_back(CARD_NEWBIE);
    b.getCard(&game, CARD_CLAUDE, true, 15);
    EXPECT_EQ(b.opCard.size(), 8u);
    b.opCard.pop_back();
    b.getCard(&game, given, true, 15);
    EXPECT_EQ(b.opCard.back(), given);
}

TEST_F(PlayCard, PaysRemovesAndShiftsTheHand) {
    Card *a = CARD_NEWBIE, *bb = CARD_HANA, *c = CARD_FPRINCESS;
    b.myCard = {a, bb, c};
    b.mySp = 5;
    game.status = USECARD;
    b.useCard(&game, 0, 7, false);
    EXPECT_EQ(b.myCard, (std::vector<Card*>{bb, c}));
    EXPECT_EQ(b.mySp, 4);
    EXPECT_EQ(b.c[7]->id, 10);
    EXPECT_EQ(game.status, FREE);
    for (int slot = 2; slot < 20; ++slot) {
        if (slot != 7) {
            EXPECT_TRUE(empty(slot)) << slot;
        }
    }

    b.useCard(&game, 1, 3, false);
    b.useCard(&game, 0, 2, false);
    EXPECT_TRUE(b.myCard.empty());
    EXPECT_EQ(b.mySp, 5 - 1 - 7 - 4) << "mana is not checked here: callers test canUse";

    b.opCard = {CARD_HIT, CARD_NEWBIE};
    b.opSp = 3;
    game.status = DISABLE;
    b.nowTurn = true;
    bool pressed = false;
    script([&] { // the player acknowledges the opponent's spell
        headless::setKey(VK_LBUTTON, !pressed);
        pressed = true;
    });
    b.useCard(&game, 0, 2, true);
    EXPECT_EQ(b.c[2]->nowhp, 4 - 3) << "the spell struck the minion in slot 2";
    EXPECT_EQ(b.opCard.size(), 1u);
    EXPECT_EQ(b.opSp, 1);
    EXPECT_EQ(game.status, DISABLE) << "the opponent's play leaves the status alone";

    b.useCard(&game, 5, 4, false);
    EXPECT_TRUE(empty(4)) << "a stray hand index plays nothing";
}
