#include <gtest/gtest.h>

#include "card/card.h"
#include "game/game.h"

namespace {

class State : public ::testing::Test {
protected:
    void TearDown() override { reclaimMatchObjects(); }
};

TEST_F(State, ANewGameHasItsDefaults) {
    Game game;
    EXPECT_EQ(game.rate, 1.0);
    EXPECT_EQ(game.font, "幼圆");
    EXPECT_TRUE(game.pmap.empty());
    EXPECT_EQ(game.ai, nullptr);
    EXPECT_FALSE(game.gameEnd);
    EXPECT_FALSE(game.isSpell(9999));
    EXPECT_TRUE(game.isSpell(10000));
    EXPECT_FALSE(game.isSpell(0));
}

TEST_F(State, MoveAssigningAFreshBattleEmptiesHandsDecksTurnAndMana) {
    Game game;
    Battle& b = game.battle;
    b.myCard.push_back(CARD_NEWBIE);
    b.opDeck.push_back(CARD_HANA);
    b.turn = 7;
    b.mySp = b.opSp = b.mySpMax = b.opSpMax = 5;
    b = Battle();
    EXPECT_TRUE(b.myCard.empty() && b.myDeck.empty() && b.opCard.empty() && b.opDeck.empty());
    EXPECT_EQ(b.turn, 0);
    EXPECT_EQ(b.mySp + b.opSp + b.mySpMax + b.opSpMax, 0);
}

TEST_F(State, CopyAssignmentIsShallow) {
    Battle a;
    Character* hero = new MainHero(1, "my_main", 0, false, 0, 30, "浮游城");
    a.c[0] = hero;
    a.myCard.push_back(CARD_NEWBIE);
    a.canAsTarget[3] = true;
    a.nowTurn = true;
    Battle b;
    b = a;
    EXPECT_EQ(b.c[0], hero);
    EXPECT_EQ(b.myCard[0], a.myCard[0]) << "both battles point to the same card";
    b.c[0]->nowhp = 12;
    b.myCard[0]->spCost = 9;
    EXPECT_EQ(a.c[0]->nowhp, 12);
    EXPECT_EQ(a.myCard[0]->spCost, 9);
    EXPECT_TRUE(b.canAsTarget[3]);
    EXPECT_TRUE(b.nowTurn);
    b.myCard.clear();
    EXPECT_EQ(a.myCard.size(), 1u) << "the vectors themselves are copies";
}

TEST_F(State, GameCopyAssignmentResetsEverythingButSharesPictures) {
    Game fresh, game;
    game.rate = 0.5;
    game.status = ATKCARD;
    game.gameEnd = true;
    game.pmap["x"] = nullptr;
    fresh.pmap["bg"] = nullptr;
    game = fresh;
    EXPECT_EQ(game.rate, 1.0);
    EXPECT_EQ(game.status, fresh.status);
    EXPECT_FALSE(game.gameEnd);
    EXPECT_EQ(game.pmap.count("x"), 0u);
    EXPECT_EQ(game.pmap.count("bg"), 1u);
}

TEST_F(State, ReclaimingFreesEveryCardAndCharacterOfTheMatch) {
    size_t before = matchObjectCount();
    Battle b;
    for (int i = 0; i < 30; ++i) b.myDeck.push_back(CARD_NEWBIE);
    for (int i = 2; i < 20; ++i) b.c[i] = new Character(0, i, i >= 11);
    EXPECT_EQ(matchObjectCount(), before + 48);
    reclaimMatchObjects();
    EXPECT_EQ(matchObjectCount(), 0u);
}

} // namespace
