// The card catalogue and the board class of each card id.
#include <iterator>

#include "card/card.h"

namespace {

struct MinionDefinition {
    int id;
    const char* pid;
    int spCost, atk, hp, rarity, special;
    const char* name;
    const char* detail;
};

enum CatalogueEntry { NEWBIE, HANA, PRISCILLA, CLAUDE, FPRINCESS, ARA, ARA_TENTACLE };

const MinionDefinition MINIONS[] = {
    {10, "c_newbie", 1, 2, 1, 0, 0, "坎特伯雷新兵", ""},
    {11, "c_hana", 4, 6, 4, 3, REVIVE, "冥界使者，哈娜", "【复生】。其【复生】触发时在本回合获得【免疫】"},
    {12, "c_priscilla", 5, 3, 6, 3, LIFESTEAL, "半吸血鬼，普莉希拉",
     "【吸血】。【战吼】将<恶魔郡伯爵，克劳德>置入你的手牌"},
    {1201, "c_claude", 6, 9, 9, 3, LIFESTEAL, "恶魔郡伯爵，克劳德", "【吸血】。【战吼】对一个敌人造成 9 点伤害"},
    {13, "c_fprincess", 7, 3, 10, 3, TAUNT, "未来公主", "【嘲讽】。在你的回合结束时，获得【圣盾】"},
    {14, "c_ara", 7, 3, 6, 3, 0, "海女巫，娅拉", "【战吼】在随机位置召唤<娅拉的触手>，重复四次"},
    {1401, "c_ara_tentacle", 1, 1, 2, 1, 0, "娅拉的触手", "在你的回合结束时，对一个随机敌人造成 3 点伤害"},
};

MinionCard* make(CatalogueEntry entry) {
    const MinionDefinition& d = MINIONS[entry];
    return new MinionCard(d.id, d.pid, d.spCost, d.atk, d.hp, d.rarity, d.detail, d.name, d.special);
}

template <class Board>
Minion* create(const MinionCard& c, int pos, bool camp) {
    return new Board(c.id, c.pid, pos, camp, c.spCost, c.atk, c.hp, c.rarity, c.name, c.detail, c.special);
}

struct BoardClass {
    int id;
    Minion* (*create)(const MinionCard&, int, bool);
};

const BoardClass BOARD_CLASSES[] = {
    {10, create<Minion>},
    {11, create<Minion_Hana>},
    {12, create<Minion_Priscilla>},
    {13, create<Minion_FPrincess>},
    {14, create<Minion_Ara>},
    {1201, create<Minion_Claude>},
    {1401, create<Minion_Ara_Tentacle>},
};

} // namespace

namespace cardCatalogue {
MinionCard* newbie() { return make(NEWBIE); }
MinionCard* hana() { return make(HANA); }
MinionCard* priscilla() { return make(PRISCILLA); }
MinionCard* claude() { return make(CLAUDE); }
MinionCard* fprincess() { return make(FPRINCESS); }
MinionCard* ara() { return make(ARA); }
MinionCard* araTentacle() { return make(ARA_TENTACLE); }
SpellCard* hit() { return new SpellCard(10000, "c_hit", 2, 1, "对一个敌人造成 3 点伤害", "偷袭"); }
} // namespace cardCatalogue

Minion* makeBoardMinion(const MinionCard& card, int pos, bool camp) {
    for (const BoardClass& b : BOARD_CLASSES)
        if (b.id == card.id) return b.create(card, pos, camp);
    return nullptr;
}
