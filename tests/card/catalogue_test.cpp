#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

#include "card/card.h"
#include "game/game.h"

namespace {

class Catalogue : public ::testing::Test {
protected:
    void TearDown() override { reclaimMatchObjects(); }
};

struct Expected {
    Card* (*make)();
    int id;
    const char* pid;
    int sp, atk, hp, rarity, special;
    const char* name;
    const char* detail;
};

TEST_F(Catalogue, EveryDefinitionCreatesAFreshCardWithItsValues) {
    const Expected table[] = {
        {[]() -> Card* { return CARD_NEWBIE; }, 10, "c_newbie", 1, 2, 1, 0, 0, "坎特伯雷新兵", ""},
        {[]() -> Card* { return CARD_HANA; }, 11, "c_hana", 4, 6, 4, 3, REVIVE, "冥界使者，哈娜",
         "【复生】。其【复生】触发时在本回合获得【免疫】"},
        {[]() -> Card* { return CARD_PRISCILLA; }, 12, "c_priscilla", 5, 3, 6, 3, LIFESTEAL, "半吸血鬼，普莉希拉",
         "【吸血】。【战吼】将<恶魔郡伯爵，克劳德>置入你的手牌"},
        {[]() -> Card* { return CARD_CLAUDE; }, 1201, "c_claude", 6, 9, 9, 3, LIFESTEAL, "恶魔郡伯爵，克劳德",
         "【吸血】。【战吼】对一个敌人造成 9 点伤害"},
        {[]() -> Card* { return CARD_FPRINCESS; }, 13, "c_fprincess", 7, 3, 10, 3, TAUNT, "未来公主",
         "【嘲讽】。在你的回合结束时，获得【圣盾】"},
        {[]() -> Card* { return CARD_ARA; }, 14, "c_ara", 7, 3, 6, 3, 0, "海女巫，娅拉",
         "【战吼】在随机位置召唤<娅拉的触手>，重复四次"},
        {[]() -> Card* { return CARD_ARA_TENTACLE; }, 1401, "c_ara_tentacle", 1, 1, 2, 1, 0, "娅拉的触手",
         "在你的回合结束时，对一个随机敌人造成 3 点伤害"},
    };
    for (const Expected& e : table) {
        Card* a = e.make();
        Card* b = e.make();
        ASSERT_NE(a, b) << "each use creates a new object";
        auto* m = dynamic_cast<MinionCard*>(a);
        ASSERT_NE(m, nullptr) << e.pid;
        EXPECT_EQ(m->id, e.id);
        EXPECT_EQ(m->pid, e.pid);
        EXPECT_EQ(m->spCost, e.sp) << e.pid;
        EXPECT_EQ(m->atk, e.atk) << e.pid;
        EXPECT_EQ(m->hp, e.hp) << e.pid;
        EXPECT_EQ(m->rarity, e.rarity) << e.pid;
        EXPECT_EQ(m->special, e.special) << e.pid;
        EXPECT_EQ(m->name, e.name);
        EXPECT_EQ(m->detail, e.detail);
        EXPECT_FALSE(m->changed);
    }
    Card* hit = CARD_HIT;
    ASSERT_NE(dynamic_cast<SpellCard*>(hit), nullptr);
    EXPECT_EQ(hit->id, 10000);
    EXPECT_EQ(hit->pid, "c_hit");
    EXPECT_EQ(hit->spCost, 2);
    EXPECT_EQ(hit->rarity, 1);
    EXPECT_EQ(hit->name, "偷袭");
    EXPECT_EQ(hit->detail, "对一个敌人造成 3 点伤害");
    // The texts are stored as GBK: "偷袭" is four bytes.
    EXPECT_EQ(hit->name.size(), 4u);
}

TEST_F(Catalogue, ConstructorsSetTheirDefaults) {
    Minion m;
    EXPECT_EQ(m.id, 0);
    EXPECT_EQ(m.pos, -1);
    EXPECT_FALSE(m.camp);
    EXPECT_EQ(m.atk, 0);
    EXPECT_EQ(m.hp, 1);
    EXPECT_EQ(m.nowhp, 1);
    EXPECT_EQ(m.special, 0);
    EXPECT_EQ(m.atkCnt, 0);
    EXPECT_EQ(m.name, "");
    EXPECT_EQ(m.detail, "");

    MainHero hero(2, "op_main", 1, true, 0, 30, "你的敌人");
    EXPECT_EQ(hero.rarity, 3);
    EXPECT_EQ(hero.spCost, 0);
    EXPECT_EQ(hero.special, 0);
    EXPECT_EQ(hero.atkCnt, 0);
    EXPECT_EQ(hero.nowhp, 30);
    EXPECT_EQ(hero.nowatk, 0);
    EXPECT_TRUE(hero.camp);

    Card card(5);
    EXPECT_EQ(card.id, 5);
    EXPECT_EQ(card.spCost, 0);
    EXPECT_EQ(card.pid, "");
}

TEST_F(Catalogue, EachCardBecomesItsBoardClassWithTheCardsValues) {
    struct Row {
        MinionCard* card;
        const std::type_info& cls;
    } rows[] = {
        {CARD_NEWBIE, typeid(Minion)},          {CARD_HANA, typeid(Minion_Hana)},
        {CARD_PRISCILLA, typeid(Minion_Priscilla)}, {CARD_FPRINCESS, typeid(Minion_FPrincess)},
        {CARD_ARA, typeid(Minion_Ara)},         {CARD_CLAUDE, typeid(Minion_Claude)},
        {CARD_ARA_TENTACLE, typeid(Minion_Ara_Tentacle)},
    };
    for (const Row& r : rows) {
        Minion* m = makeBoardMinion(*r.card, 5, true);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(typeid(*m), r.cls) << r.card->pid;
        EXPECT_EQ(m->pos, 5);
        EXPECT_TRUE(m->camp);
        EXPECT_EQ(m->nowatk, r.card->atk);
        EXPECT_EQ(m->nowhp, r.card->hp);
        EXPECT_EQ(m->special, r.card->special);
        EXPECT_EQ(m->name, r.card->name) << "the card's name goes to the minion's name";
        EXPECT_EQ(m->detail, r.card->detail);
        EXPECT_EQ(m->atkCnt, 0);
    }
    auto* hana = dynamic_cast<Minion_Hana*>(makeBoardMinion(*CARD_HANA, 2, false));
    ASSERT_NE(hana, nullptr);
    EXPECT_EQ(hana->immuneLast, 0);
    EXPECT_EQ(hana->special, REVIVE);
    EXPECT_EQ(makeBoardMinion(*CARD_FPRINCESS, 2, false)->special, TAUNT) << "no shield before her first turn end";
    MinionCard odd(77, "c_newbie", 1, 1, 1, 0, "", "", 0);
    EXPECT_EQ(makeBoardMinion(odd, 2, false), nullptr) << "an id without a board class creates nothing";
}

} // namespace
