// Clicks on the battle screen that lead into the rules: choosing and playing cards, attacking,
// answering a battle cry, and a strike that ends the match, with the redraws they nest.
#include <stdexcept>

#include "ai/ai.h"
#include "battle_fixture.h"
#include "platform/headless/headless.h"
#include "render/layout.h"

namespace {

class PlayClicks : public BattleScreen {
protected:
    AI ai;

    void SetUp() override {
        BattleScreen::SetUp();
        open(1.0);
        game.ai = &ai;
    }

    uint32_t handMarker(int i) const { return at(CardPos[i].x + 41, CardPos[i].y - 20); }

    // A click whose release comes after `polls` polls, started from inside the game whenever
    // `when` holds; `then` runs once the click has been released.
    struct Click {
        std::function<bool()> when;
        int x, y;
        bool started = false, done = false;
        int left = 300;
    };
    // Runs the clicks in order from the headless callback, so that they land inside nested redraws.
    void script(std::vector<Click>& clicks) {
        headless::setCallback([this, &clicks, calls = 0L]() mutable {
            if (++calls > 1000000) throw std::runtime_error("the game is stuck waiting");
            for (Click& c : clicks) {
                if (c.done) continue;
                if (!c.started) {
                    if (!c.when()) return;
                    c.started = true;
                    pointAt(c.x, c.y);
                    headless::setKey(VK_LBUTTON, true);
                } else if (--c.left == 0) {
                    headless::setKey(VK_LBUTTON, false);
                    c.done = true;
                }
                return;
            }
        });
    }
};

TEST_F(PlayClicks, HandMarkersShowForPlayableCardsWhileThePointerIsInTheHandStrip) {
    addHandCard("c_newbie", 1);
    addHandCard("c_newbie", 3);
    addHandCard("c_newbie", 4);
    game.battle.mySp = 3;
    pointAt(CardPos[0].x + 60, 900);
    frame();
    EXPECT_EQ(handMarker(0), colourOf("cho"));
    EXPECT_EQ(handMarker(1), colourOf("ava"));
    EXPECT_EQ(handMarker(2), colourOf("bg")) << "one mana short";

    pointAt(CardPos[0].x + 60, 849);
    frame();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(handMarker(i), colourOf("bg")) << i;

    for (int slot = 2; slot <= 10; ++slot) putMinion(slot);
    pointAt(CardPos[0].x + 60, 900);
    frame();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(handMarker(i), colourOf("bg")) << "no free place: " << i;
    clickFrame(CardPos[0].x + 41, CardPos[0].y + 56);
    EXPECT_EQ(game.status, FREE);
    EXPECT_EQ(game.cardChosen, -1);
}

TEST_F(PlayClicks, AChosenMinionCardIsPlayedIntoTheClickedEmptyPlace) {
    addHandCard("c_newbie", 1);
    addHandCard("c_newbie", 4);
    MinionCard* played = addHandCard("c_hana", 2);
    game.battle.mySp = 3;
    putMinion(6);
    clickFrame(CardPos[1].x + 41, CardPos[1].y + 56);
    EXPECT_EQ(game.status, FREE) << "the unplayable card takes no click";
    clickFrame(CardPos[2].x + 41, CardPos[2].y + 56);
    EXPECT_EQ(game.status, USECARD);
    EXPECT_EQ(game.cardChosen, 2);

    clickFrame(CharPos[6].x, CharPos[6].y);
    EXPECT_EQ(game.status, USECARD) << "an occupied place takes no card";
    clickFrame(CharPos[15].x, CharPos[15].y);
    EXPECT_EQ(game.status, USECARD) << "nor does an opponent's place";

    clickFrame(CharPos[7].x + 45, CharPos[7].y + 45);
    EXPECT_EQ(game.status, FREE);
    EXPECT_EQ(game.battle.mySp, 1);
    ASSERT_EQ(game.battle.myCard.size(), 2u);
    EXPECT_NE(game.battle.myCard[1], played);
    EXPECT_EQ(game.battle.c[7]->pid, "c_hana");
    EXPECT_EQ(game.battle.c[7]->pos, 7);
    EXPECT_EQ(at(CardPos[2].x + 41, CardPos[2].y + 56), colourOf("bg"))
        << "the rest of the frame already draws the shorter hand";
    EXPECT_EQ(at(CardPos[1].x + 41, CardPos[1].y + 56), colourOf("card_com"));
    pointAt(10, 10);
    frame();
    EXPECT_EQ(at(CharPos[7].x, CharPos[7].y), colourOf("c_hana"));
}

TEST_F(PlayClicks, AChosenSpellMarksItsTargetsAndASecondPressDuringTheCastDoesNotCastAgain) {
    game.battle.myCard.push_back(CARD_HIT);
    addHandCard("c_newbie", 1);
    game.battle.mySp = 2;
    putMinion(13, 1, 10, IMMUNE);
    Minion* target = putMinion(14, 1, 10, TAUNT);
    clickFrame(CardPos[0].x + 41, CardPos[0].y + 56);
    EXPECT_EQ(game.status, SETTARGET);
    EXPECT_EQ(game.cardChosen, 0);
    for (int slot = 0; slot < 20; ++slot)
        EXPECT_EQ(game.battle.canAsTarget[slot], slot == 1 || slot == 14) << slot;
    pointAt(10, 10);
    frame();
    EXPECT_EQ(at(CharPos[14].x, CharPos[14].y - 70), colourOf("ava"));
    EXPECT_EQ(at(CharPos[1].x, CharPos[1].y - 80), colourOf("ava"));
    EXPECT_EQ(at(CharPos[13].x, CharPos[13].y - 70), colourOf("bg"));

    // The cast strikes and redraws while the choice is still on screen; a second press on the
    // marked minion lands in that redraw.
    bool struck = false;
    std::vector<Click> clicks = {
        {[] { return true; }, CharPos[14].x, CharPos[14].y},
        {[&] { return struck |= game.status == DISABLE, struck && game.status == SETTARGET; }, CharPos[14].x,
         CharPos[14].y},
    };
    script(clicks);
    frame();
    EXPECT_TRUE(clicks[1].done) << "the second press was made";
    EXPECT_EQ(target->nowhp, 7) << "struck once for 3";
    EXPECT_EQ(game.battle.mySp, 0);
    ASSERT_EQ(game.battle.myCard.size(), 1u) << "only the spell left the hand";
    EXPECT_EQ(game.battle.myCard[0]->pid, "c_newbie");
    EXPECT_EQ(game.status, FREE);
}

TEST_F(PlayClicks, AnAttackChosenByClicksStrikesOnceEvenWhenPressedAgainDuringTheStrike) {
    Minion* attacker = putMinion(4, 2, 3);
    attacker->atkCnt = 1;
    Minion* target = putMinion(13, 1, 10);
    clickFrame(CharPos[4].x, CharPos[4].y);
    ASSERT_EQ(game.status, ATKCARD);
    for (int slot = 0; slot < 20; ++slot)
        EXPECT_EQ(game.battle.canAsTarget[slot], slot == 13) << "the facing minion, not the hero: " << slot;

    bool struck = false;
    int flushesBefore = headless::flushCount();
    std::vector<Click> clicks = {
        {[] { return true; }, CharPos[13].x, CharPos[13].y},
        {[&] { return struck |= game.status == DISABLE, struck && game.status == ATKCARD; }, CharPos[13].x,
         CharPos[13].y},
    };
    script(clicks);
    frame();
    EXPECT_TRUE(clicks[1].done) << "the second press was made";
    EXPECT_EQ(target->nowhp, 8);
    EXPECT_EQ(attacker->nowhp, 2) << "struck back once";
    EXPECT_EQ(attacker->atkCnt, 0);
    EXPECT_EQ(game.atkFrom, -1);
    EXPECT_EQ(game.status, FREE);
    EXPECT_GT(headless::flushCount(), flushesBefore + 20) << "the strikes animated inside the frame";
    pointAt(10, 10);
    frame();
    EXPECT_TRUE(textAt("8", CharPos[13].x + 40, CharPos[13].y + 40, 40, 32, 0xFF4040, colourOf("hp")));
}

TEST_F(PlayClicks, ABattleCryPickIsAnsweredByAClickInsideThePlaysOwnRedraws) {
    game.battle.myCard.push_back(CARD_CLAUDE);
    game.battle.mySp = 6;
    Minion* target = putMinion(13, 1, 20);
    Minion* bystander = putMinion(12, 1, 20);
    std::vector<Click> clicks = {
        {[] { return true; }, CardPos[0].x + 41, CardPos[0].y + 56},
        {[&] { return game.status == USECARD; }, CharPos[5].x, CharPos[5].y},
        {[&] { return game.status == ATKCARD && game.atkTo == -2; }, CharPos[11].x, CharPos[11].y}, // empty
        {[&] { return game.status == ATKCARD && game.atkTo == -2; }, CharPos[13].x, CharPos[13].y},
    };
    script(clicks);
    frame(); // the card is chosen; the press on the place is under way as the frame ends
    frame(); // the place takes it and the battle cry waits for its pick inside this frame
    EXPECT_TRUE(clicks[3].done);
    EXPECT_EQ(game.battle.c[5]->id, 1201);
    EXPECT_EQ(game.atkTo, 13);
    EXPECT_EQ(target->nowhp, 11) << "the battle cry's 9, nothing more";
    EXPECT_EQ(bystander->nowhp, 20);
    EXPECT_EQ(game.battle.c[5]->atkCnt, 0);
    EXPECT_EQ(game.battle.c[5]->nowhp, 9) << "no strike back from a battle cry";
    EXPECT_EQ(game.status, FREE);
    EXPECT_TRUE(game.battle.myCard.empty());
}

TEST_F(PlayClicks, AStrikeThatEndsTheMatchLeavesTheEndScreenUp) {
    Minion* attacker = putMinion(4, 5, 3);
    attacker->atkCnt = 1;
    game.battle.c[1]->nowhp = 4;
    addHandCard();
    clickFrame(CharPos[4].x, CharPos[4].y);
    ASSERT_TRUE(game.battle.canAsTarget[1]);
    int flushesAtSpace = -1;
    std::vector<Click> clicks = {{[] { return true; }, CharPos[1].x, CharPos[1].y}};
    script(clicks);
    headless::setCallback([&, inner = std::function<void()>()]() mutable {
        if (!clicks[0].done) {
            if (!clicks[0].started) {
                clicks[0].started = true;
                pointAt(CharPos[1].x, CharPos[1].y);
                headless::setKey(VK_LBUTTON, true);
            } else if (--clicks[0].left == 0) {
                headless::setKey(VK_LBUTTON, false);
                clicks[0].done = true;
            }
            return;
        }
        if (flushesAtSpace < 0 && at(756, 512) == colourOf("win")) {
            flushesAtSpace = headless::flushCount();
            headless::setKey(VK_SPACE, true);
        }
    });
    frame();
    EXPECT_TRUE(game.gameEnd);
    EXPECT_GE(flushesAtSpace, 1);
    EXPECT_EQ(headless::flushCount(), flushesAtSpace) << "nothing presented after the end screen";
    EXPECT_EQ(at(756, 512), colourOf("win"));
    EXPECT_EQ(at(CardPos[0].x + 41, CardPos[0].y + 56), colourOf("card_com")) << "the final board, hand included";
}

} // namespace
