#include <string>

#include "platform/headless/headless.h"
#include "support/battle_board.h"

namespace headless = platform::headless;
using testing_support::BoardTest;
using ::testing::ElementsAre;

class Targeting : public BoardTest {};
class Exchange : public BoardTest {};
class Lifesteal : public BoardTest {};
class Death : public BoardTest {};
class Pick : public BoardTest {};

// One strike animation: 11 frames, 25 ms each.
constexpr long long STRIKE_MS = 275;
// One heal animation: 11 frames, 20 ms each.
constexpr long long HEAL_MS = 220;

TEST_F(Targeting, TheFacingPlaceGuardsTheHero) {
    Minion* mine = put(4, 2, 2);
    put(13, 1, 1);
    mine->chooseTarget(&game);
    EXPECT_THAT(marked(), ElementsAre(13));

    b.c[13] = new Character(0, 13, true);
    put(15, 1, 1);
    mine->chooseTarget(&game);
    EXPECT_THAT(marked(), ElementsAre(1, 15)) << "an empty facing place opens the hero";

    put(13, 1, 1, IMMUNE);
    mine->chooseTarget(&game);
    EXPECT_THAT(marked(), ElementsAre(1, 15)) << "an immune facing minion cannot be struck and guards nothing";

    Minion* theirs = put(12, 1, 1);
    put(3, 1, 1);
    theirs->chooseTarget(&game);
    EXPECT_THAT(marked(), ElementsAre(3, 4)) << "the opponent's column looks nine places down";
}

TEST_F(Targeting, TauntNarrowsAttacksButNotPicks) {
    Minion* mine = put(4, 2, 2);
    put(11, 1, 1);
    put(12, 1, 1);
    put(19, 1, 5, TAUNT);
    mine->chooseTarget(&game);
    EXPECT_THAT(marked(), ElementsAre(19));

    b.c[19]->special |= IMMUNE;
    mine->chooseTarget(&game);
    EXPECT_TRUE(marked().empty()) << "an immune taunt still counts but cannot be struck";

    answerPickWith(12);
    EXPECT_EQ(mine->setTarget(&game, {1, 11, 12, 19}, false), 12);
    EXPECT_THAT(marked(), ElementsAre(1, 11, 12)) << "picks ignore taunt and the column, not immunity";

    b.c[2]->chooseTarget(&game);
    EXPECT_TRUE(marked().empty()) << "an empty place marks nothing and clears the last choice";
}

TEST_F(Exchange, StrikeBackLandsFirstAndTheTargetDiesFirst) {
    Minion* attacker = put(4, 3, 10);
    put(13, 2, 1);
    attacker->attack(&game, 13, true, true, true, -1);
    EXPECT_EQ(attacker->nowhp, 8);
    EXPECT_EQ(attacker->atkCnt, 0);
    EXPECT_EQ(b.c[4], attacker);
    EXPECT_TRUE(empty(13));
    EXPECT_EQ(b.c[13]->pos, 13);
    EXPECT_TRUE(b.c[13]->camp);
    EXPECT_EQ(headless::clock(), 2 * STRIKE_MS) << "two strike animations";
    EXPECT_EQ(headless::flushCount(), 2 * 11 + 2) << "a redraw after each strike";

    std::string order;
    struct Witness : Minion {
        std::string* log;
        Witness(int slot, std::string* order) : Minion(10, "c_newbie", slot, slot >= 11, 1, 2, 1), log(order) {}
        void deathRattle(Game* game) override {
            *log += std::to_string(pos) + " ";
            Minion::deathRattle(game);
        }
    };
    b.c[5] = new Witness(5, &order);
    b.c[14] = new Witness(14, &order);
    b.c[5]->attack(&game, 14, true, true, true, -1);
    EXPECT_EQ(order, "14 5 ");
    EXPECT_TRUE(empty(5));
    EXPECT_TRUE(empty(14));
}

TEST_F(Exchange, TurnsGiveOneAttackAndHeroesNeverStrikeBack) {
    Minion* m = put(6, 4, 3);
    m->atkCnt = 0;
    EXPECT_FALSE(m->canAtk(&game));
    m->beginOfMyTurn(&game);
    m->beginOfMyTurn(&game);
    EXPECT_EQ(m->atkCnt, 1) << "unused attacks are not saved up";
    EXPECT_FALSE(b.c[7]->canAtk(&game));
    EXPECT_FALSE(hero(false)->canAtk(&game));

    m->attack(&game, 1, true, true, true, -1);
    EXPECT_EQ(hero(true)->nowhp, 26);
    EXPECT_EQ(m->nowhp, 3);
    EXPECT_EQ(headless::clock(), STRIKE_MS);
}

TEST_F(Exchange, ShieldAbsorbsOneStrikeAndImmunityAll) {
    Minion* striker = put(4, 9, 20);
    Minion* shielded = put(13, 0, 10, SHIELD);
    striker->attack(&game, 13, false, true, true, -1);
    EXPECT_EQ(shielded->nowhp, 10);
    EXPECT_EQ(shielded->special, 0);
    striker->attack(&game, 13, false, true, true, -1);
    EXPECT_EQ(shielded->nowhp, 1);

    Minion* both = put(15, 0, 5, SHIELD | IMMUNE);
    EXPECT_EQ(both->getDamage(&game, 7), 0);
    EXPECT_EQ(both->nowhp, 5);
    EXPECT_EQ(both->special, SHIELD | IMMUNE);
    Minion* bare = put(16, 0, 5, SHIELD);
    EXPECT_EQ(bare->getDamage(&game, 0), 0) << "even a harmless strike spends the shield";
    EXPECT_EQ(bare->special, 0);
    EXPECT_EQ(bare->getDamage(&game, 8), 8);
    EXPECT_EQ(bare->nowhp, -3) << "health may fall below zero";
}

TEST_F(Lifesteal, HealsWhatWasDealtUpToTheMaximum) {
    Minion* leech = put(4, 3, 5, LIFESTEAL);
    struct Case {
        int heroBefore, heroAfter;
        long long ms;
    };
    for (Case c : {Case{25, 28, STRIKE_MS + HEAL_MS}, Case{29, 30, STRIKE_MS + HEAL_MS}, Case{30, 30, STRIKE_MS}}) {
        hero(false)->nowhp = c.heroBefore;
        long long start = headless::clock();
        put(15, 0, 9);
        leech->attack(&game, 15, false, false, true, -1);
        EXPECT_EQ(hero(false)->nowhp, c.heroAfter) << "from " << c.heroBefore;
        EXPECT_EQ(headless::clock() - start, c.ms) << "from " << c.heroBefore;
    }

    hero(false)->nowhp = 20;
    put(15, 0, 9, SHIELD);
    long long start = headless::clock();
    leech->attack(&game, 15, false, false, true, -1);
    EXPECT_EQ(hero(false)->nowhp, 20) << "an absorbed strike heals nothing";
    EXPECT_EQ(headless::clock() - start, STRIKE_MS + HEAL_MS) << "but the damaged hero still shows the heal";

    hero(false)->nowhp = 27;
    put(12, 5, 5);
    leech->attack(&game, 12, true, true, true, -1);
    EXPECT_EQ(leech->nowhp, 0);
    EXPECT_EQ(hero(false)->nowhp, 30) << "its dealt damage heals even as it dies to the strike-back";
    EXPECT_TRUE(empty(4));
}

TEST_F(Death, ReviveOnceThenThePlaceEmpties) {
    Minion* m = put(8, 1, 3, REVIVE | TAUNT);
    m->atkCnt = 1;
    m->getDamage(&game, 5);
    m->deathRattle(&game);
    EXPECT_EQ(m->nowhp, 1);
    EXPECT_EQ(m->special, TAUNT);
    EXPECT_EQ(m->atkCnt, 1);
    EXPECT_EQ(b.c[8], m);

    put(17, 4, 4)->attack(&game, 8, true, true, true, -1);
    EXPECT_TRUE(empty(8));
    EXPECT_EQ(b.c[8]->pos, 8);
    EXPECT_FALSE(b.c[8]->camp);
    EXPECT_EQ(m->pos, 8) << "the dropped minion stays valid";
}

TEST_F(Death, AHeroFallingEndsTheMatchOnce) {
    headless::setKey(VK_SPACE, true); // the end screen waits for space
    put(5, 6, 6)->attack(&game, 1, true, true, true, 35);
    EXPECT_LE(hero(true)->nowhp, 0);
    EXPECT_TRUE(game.gameEnd) << "the opponent's hero falling wins";

    game.gameEnd = false;
    put(14, 6, 6)->attack(&game, 0, true, true, true, 30);
    EXPECT_TRUE(game.gameEnd) << "the player's hero falling loses";

    // Turn-end strikes still run after the end: a second fall must not show another end screen.
    int flushes = headless::flushCount(), polls = headless::pollCount();
    put(15, 3, 3)->attack(&game, 0, false, false, true, -1);
    EXPECT_EQ(headless::flushCount(), flushes);
    EXPECT_EQ(headless::pollCount(), polls);
}

TEST_F(Pick, NoLegalCandidateReturnsAtOnce) {
    put(12, 1, 1, IMMUNE);
    game.status = FREE;
    Character* cry = put(3, 9, 9);
    EXPECT_EQ(cry->setTarget(&game, {11, 12, 13}, false), -1);
    EXPECT_EQ(game.status, FREE);
    EXPECT_EQ(headless::sleepCount(), 0);
    EXPECT_TRUE(marked().empty());

    game.gameEnd = true;
    EXPECT_EQ(cry->setTarget(&game, {1}, false), -1) << "an ended match has no pick to wait for";
    EXPECT_EQ(headless::sleepCount(), 0);
}

TEST_F(Pick, ThePlayerClicksAMarkedSlotTheOpponentAsksItsAI) {
    put(11, 1, 1, IMMUNE);
    put(12, 1, 1);
    put(6, 1, 1, IMMUNE);
    Character* cry = put(3, 9, 9);
    script([this] { // the player clicks slot 12 during the third pass
        if (game.status == ATKCARD && game.atkTo == -2 && headless::sleepCount() == 3) {
            game.atkTo = 12;
            game.status = FREE;
        }
    });
    EXPECT_EQ(cry->setTarget(&game, {1, 6, 11, 12, 13}, false), 12);
    EXPECT_THAT(marked(), ElementsAre(1, 6, 12)) << "a side may pick its own immune minion";
    EXPECT_EQ(headless::flushCount(), 3) << "a redraw per pass";
    EXPECT_EQ(headless::clock(), 30) << "10 ms per pass";

    put(5, 1, 1);
    long long before = headless::clock();
    EXPECT_EQ(b.c[12]->setTarget(&game, {0, 2, 3, 4, 5}, true), 0);
    EXPECT_THAT(marked(), ElementsAre(0, 3, 5));
    EXPECT_EQ(headless::clock(), before) << "the opponent does not wait";
}
