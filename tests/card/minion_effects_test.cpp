#include <set>
#include <utility>

#include "platform/headless/headless.h"
#include "support/battle_board.h"

namespace headless = platform::headless;
using testing_support::BoardTest;
using ::testing::ElementsAre;

class Hana : public BoardTest {};
class Priscilla : public BoardTest {};
class Claude : public BoardTest {};
class FPrincess : public BoardTest {};
class Ara : public BoardTest {};
class Tentacle : public BoardTest {};

// The driver's end-of-turn pass over every slot.
void endOfTurnPass(Battle& b, Game& game) {
    for (int slot = 0; slot < 20; ++slot) b.c[slot]->endOfTurn(&game);
}

TEST_F(Hana, StruckDuringATurnSheIsImmuneUntilItEnds) {
    Minion_Hana* hana = summon<Minion_Hana>(CARD_HANA, 14);
    Minion* striker = put(5, 5, 20);
    striker->attack(&game, 14, false, false, true, -1);
    EXPECT_EQ(hana->nowhp, 1);
    EXPECT_EQ(hana->special, IMMUNE);
    EXPECT_EQ(hana->immuneLast, 1);

    striker->attack(&game, 14, false, false, true, -1);
    EXPECT_EQ(hana->nowhp, 1) << "immune for the rest of the turn";
    striker->chooseTarget(&game);
    EXPECT_FALSE(b.canAsTarget[14]);

    endOfTurnPass(b, game);
    EXPECT_EQ(hana->special, 0);
    EXPECT_EQ(hana->immuneLast, 0);
    endOfTurnPass(b, game);
    EXPECT_EQ(hana->special, 0);

    striker->attack(&game, 14, false, false, true, -1);
    EXPECT_TRUE(empty(14)) << "no second revival";
}

TEST_F(Hana, DyingToAStrikeBackInHerOwnTurn) {
    Minion_Hana* hana = summon<Minion_Hana>(CARD_HANA, 6);
    hana->beginOfMyTurn(&game);
    Minion* wall = put(15, 4, 10);
    hana->attack(&game, 15, true, true, true, -1);
    EXPECT_EQ(wall->nowhp, 4) << "she still deals her damage";
    EXPECT_EQ(b.c[6], hana);
    EXPECT_EQ(hana->nowhp, 1);
    EXPECT_TRUE(hana->special & IMMUNE);

    wall->beginOfMyTurn(&game);
    wall->attack(&game, 6, true, true, true, -1);
    EXPECT_EQ(hana->nowhp, 1);
    EXPECT_TRUE(empty(15)) << "immune, she still strikes back";
    endOfTurnPass(b, game);
    EXPECT_FALSE(hana->special & IMMUNE) << "gone at the end of that same turn";
}

TEST_F(Priscilla, FromAFullHandHerClaudeTakesTheLastPlace) {
    for (int i = 0; i < 8; ++i) b.myCard.push_back(i == 3 ? CARD_PRISCILLA : CARD_NEWBIE);
    Card* last = b.myCard[7];
    b.mySp = 5;
    b.useCard(&game, 3, 7, false);
    ASSERT_EQ(b.myCard.size(), 8u);
    EXPECT_EQ(b.myCard[6], last);
    EXPECT_EQ(b.myCard[7]->id, 1201);
    EXPECT_EQ(b.c[7]->id, 12);
    EXPECT_EQ(b.mySp, 0);
    EXPECT_EQ(headless::clock(), 17 * 25) << "the card flies from her place";

    b.opSp = 5;
    b.opCard = {CARD_PRISCILLA};
    b.useCard(&game, 0, 11, true);
    ASSERT_EQ(b.opCard.size(), 1u);
    EXPECT_EQ(b.opCard[0]->id, 1201);
}

TEST_F(Claude, ThePlayerMayStrikeAnyNonImmuneEnemyDespiteTaunt) {
    put(11, 1, 1, IMMUNE);
    put(12, 3, 10, TAUNT);
    Minion* victim = put(15, 2, 9);
    hero(false)->nowhp = 20;
    answerPickWith(15);
    b.myCard = {CARD_CLAUDE};
    b.mySp = 6;
    b.useCard(&game, 0, 4, false);
    EXPECT_THAT(marked(), ElementsAre(1, 12, 15));
    EXPECT_TRUE(empty(15));
    EXPECT_EQ(victim->nowhp, 0);
    EXPECT_EQ(hero(false)->nowhp, 29);
    EXPECT_EQ(game.status, FREE);
    EXPECT_EQ(b.c[4]->atkCnt, 0) << "it still cannot attack this turn";
    EXPECT_EQ(b.c[4]->nowhp, 9) << "no strike-back";
}

TEST_F(Claude, AShieldedTargetOnlyLosesItsShield) {
    Minion* shielded = put(13, 1, 5, SHIELD);
    hero(false)->nowhp = 20;
    answerPickWith(13);
    Minion_Claude* claude = summon<Minion_Claude>(CARD_CLAUDE, 4);
    long long start = headless::clock();
    claude->battleCry(&game);
    EXPECT_EQ(shielded->special, 0);
    EXPECT_EQ(shielded->nowhp, 5);
    EXPECT_EQ(hero(false)->nowhp, 20);
    EXPECT_EQ(headless::clock() - start, 10 + 275 + 220) << "the pick, the strike, the empty heal";
}

TEST_F(Claude, TheOpponentsGoesForTheHeroAndNothingLegalDoesNothing) {
    put(5, 1, 1);
    summon<Minion_Claude>(CARD_CLAUDE, 16)->battleCry(&game);
    EXPECT_EQ(hero(false)->nowhp, 21);

    put(13, 1, 1, IMMUNE);
    b.c[16]->special |= IMMUNE;
    b.c[1]->special |= IMMUNE; // a hero is never immune in play; it stands in for "no legal enemy"
    b.mySp = 6;
    b.myCard = {CARD_CLAUDE};
    int sleeps = headless::sleepCount();
    b.useCard(&game, 0, 4, false);
    EXPECT_EQ(b.mySp, 0) << "paid though the battle cry found nothing";
    EXPECT_EQ(headless::sleepCount(), sleeps) << "no wait for a pick, no strike";
    EXPECT_EQ(b.c[4]->id, 1201);
}

TEST_F(FPrincess, ShieldAtTheEndOfEachOwnTurn) {
    Minion_FPrincess* princess = summon<Minion_FPrincess>(CARD_FPRINCESS, 9);
    EXPECT_EQ(princess->special, TAUNT);
    princess->endOfMyTurn(&game);
    EXPECT_EQ(princess->special, TAUNT | SHIELD);
    put(18, 10, 10)->attack(&game, 9, false, false, true, -1);
    EXPECT_EQ(princess->nowhp, 10);
    EXPECT_EQ(princess->special, TAUNT);
    princess->endOfMyTurn(&game);
    princess->endOfMyTurn(&game);
    EXPECT_EQ(princess->special, TAUNT | SHIELD);
}

TEST_F(Ara, TentaclesFillTheFreePlacesAtRandom) {
    for (int slot : {2, 4, 5, 7, 9}) put(slot, 1, 1);
    b.mySp = 7;
    b.myCard = {CARD_ARA};
    b.useCard(&game, 0, 3, false);
    for (int slot : {6, 8, 10}) {
        auto* tentacle = dynamic_cast<Minion_Ara_Tentacle*>(b.c[slot]);
        ASSERT_NE(tentacle, nullptr) << slot;
        EXPECT_EQ(tentacle->nowatk, 1);
        EXPECT_EQ(tentacle->nowhp, 2);
        EXPECT_EQ(tentacle->atkCnt, 0);
        EXPECT_FALSE(tentacle->camp);
    }
    EXPECT_TRUE(b.myCard.empty()) << "tentacle cards go to no hand";
    EXPECT_EQ(headless::clock(), 0) << "no animation";

    // With room to spare, four distinct places, chosen differently from match to match.
    std::set<std::set<int>> layouts;
    for (unsigned seed = 1; seed <= 20; ++seed) {
        seedRandom(seed);
        for (int slot = 11; slot < 20; ++slot) b.c[slot] = new Character(0, slot, true);
        Minion_Ara* ara = summon<Minion_Ara>(CARD_ARA, 15);
        ara->battleCry(&game);
        std::set<int> places;
        for (int slot = 11; slot < 20; ++slot)
            if (b.c[slot]->id == 1401) places.insert(slot);
        EXPECT_EQ(places.size(), 4u);
        layouts.insert(places);
    }
    EXPECT_GT(layouts.size(), 5u);
}

TEST_F(Tentacle, StrikesARandomEnemyLeftAfterTheOnesBefore) {
    std::set<std::pair<bool, int>> outcomes; // (minion 12 dead, hero's health)
    for (unsigned seed = 1; seed <= 30; ++seed) {
        seedRandom(seed);
        hero(true)->nowhp = 30;
        put(12, 0, 3);
        put(13, 0, 3, IMMUNE);
        put(14, 0, 3, TAUNT | IMMUNE);
        summon<Minion_Ara_Tentacle>(CARD_ARA_TENTACLE, 3);
        summon<Minion_Ara_Tentacle>(CARD_ARA_TENTACLE, 8);
        for (int slot = 2; slot <= 10; ++slot) b.c[slot]->endOfMyTurn(&game);
        outcomes.insert({empty(12), hero(true)->nowhp});
        EXPECT_EQ(b.c[13]->nowhp + b.c[14]->nowhp, 6) << "immune minions are never struck";
    }
    // Once 12 falls the next tentacle has only the hero; no strike is lost on the dead.
    std::set<std::pair<bool, int>> possible = {{true, 27}, {false, 24}};
    EXPECT_EQ(outcomes, possible);

    put(12, 0, 3, IMMUNE);
    hero(true)->nowhp = 30;
    b.c[8]->endOfMyTurn(&game);
    EXPECT_EQ(hero(true)->nowhp, 27) << "behind immune minions only the hero is left";

    hero(false)->nowhp = 30;
    put(4, 5, 100, TAUNT);
    summon<Minion_Ara_Tentacle>(CARD_ARA_TENTACLE, 17);
    int heroHits = 0;
    for (int n = 0; n < 10; ++n) {
        int before = hero(false)->nowhp;
        b.c[17]->endOfMyTurn(&game);
        heroHits += hero(false)->nowhp < before;
    }
    EXPECT_GT(heroHits, 0) << "taunt does not shield the hero from tentacles";
}
