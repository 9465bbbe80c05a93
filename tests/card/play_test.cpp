#include "support/battle_board.h"

namespace headless = platform::headless;
using testing_support::BoardTest;
using ::testing::ElementsAre;

class Playable : public BoardTest {};
class Summon : public BoardTest {};
class Spell : public BoardTest {};

TEST_F(Playable, NeedsTheManaAndAFreeOwnPlace) {
    Card* fprincess = CARD_FPRINCESS; // 7 mana
    Card* hit = CARD_HIT;             // 2 mana
    b.mySp = 7;
    b.opSp = 1;
    EXPECT_TRUE(fprincess->canUse(&game, false));
    EXPECT_FALSE(fprincess->canUse(&game, true)) << "the opponent pays from its own mana";
    b.mySp = 6;
    EXPECT_FALSE(fprincess->canUse(&game, false));

    b.mySp = 10;
    for (int slot = 2; slot <= 9; ++slot) put(slot, 1, 1);
    EXPECT_TRUE(fprincess->canUse(&game, false)) << "one free place is enough";
    EXPECT_TRUE(hit->canUse(&game, false));
    put(10, 1, 1);
    EXPECT_FALSE(fprincess->canUse(&game, false));
    EXPECT_FALSE(hit->canUse(&game, false)) << "a spell too needs a free own place";
    b.opSp = 10;
    EXPECT_TRUE(hit->canUse(&game, true)) << "the player's full board does not stop the opponent";
    EXPECT_FALSE(Card(10).canUse(&game, false));
}

TEST_F(Summon, TheCardsClassGoesIntoThatPlaceOnly) {
    put(4, 2, 1);
    MinionCard* card = CARD_CLAUDE;
    Minion_Claude* claude = summon<Minion_Claude>(card, 5);
    ASSERT_NE(claude, nullptr);
    EXPECT_EQ(claude->pos, 5);
    EXPECT_FALSE(claude->camp);
    EXPECT_EQ(claude->nowatk, 9);
    EXPECT_EQ(claude->nowhp, 9);
    EXPECT_EQ(claude->special, LIFESTEAL);
    EXPECT_EQ(claude->atkCnt, 0);
    EXPECT_EQ(claude->name, card->name);
    EXPECT_EQ(claude->detail, card->detail);
    EXPECT_EQ(b.c[4]->id, 10);
    for (int slot = 6; slot < 20; ++slot) EXPECT_TRUE(empty(slot)) << slot;

    EXPECT_NE(summon<Minion_Hana>(CARD_HANA, 12), nullptr);
    EXPECT_NE(summon<Minion_Ara_Tentacle>(CARD_ARA_TENTACLE, 13), nullptr);
    Character* before = b.c[14];
    MinionCard stranger(99, "c_newbie", 1, 1, 1, 0, "", "", 0);
    stranger.genMinion(&game, 14, true);
    EXPECT_EQ(b.c[14], before) << "an id without a board class creates nothing";
}

TEST_F(Spell, HitMarksEveryEnemyThatIsNotImmune) {
    put(11, 1, 1, IMMUNE);
    put(12, 1, 4, TAUNT);
    put(3, 1, 1);
    Card* hit = CARD_HIT;
    hit->setTarget(&game);
    EXPECT_THAT(marked(), ElementsAre(1, 12));
    b.nowTurn = true;
    hit->setTarget(&game);
    EXPECT_THAT(marked(), ElementsAre(0, 3)) << "the caster is the side whose turn it is";

    Card* odd = new SpellCard(10001, "c_hit", 1, 0, "", "");
    odd->setTarget(&game);
    EXPECT_TRUE(marked().empty());
}

TEST_F(Spell, ThePlayersCastStrikesWithoutWaiting) {
    Minion* shielded = put(12, 1, 4, SHIELD);
    Minion* plain = put(13, 1, 4);
    Card* hit = CARD_HIT;
    hit->useSpell(&game, 13, false);
    EXPECT_EQ(plain->nowhp, 1);
    hit->useSpell(&game, 12, false);
    EXPECT_EQ(shielded->nowhp, 4);
    EXPECT_EQ(shielded->special, 0);
    hit->useSpell(&game, 1, false);
    EXPECT_EQ(hero(true)->nowhp, 27);
    EXPECT_EQ(hero(false)->nowhp, 30);
}
