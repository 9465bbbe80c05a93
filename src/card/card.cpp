// Constructors and the base behaviour of the card and character classes.
#include "card/card.h"

Card::Card(int _id) : spCost(0), pid(""), id(_id), rarity(0), changed(false), detail(""), name("") {}

void Card::genMinion(Game*, int, bool) {}
void Card::printLarge(Game*, int, int) {}
bool Card::canUse(Game*, bool) { return false; }
void Card::useSpell(Game*, int, bool) {}
void Card::setTarget(Game*) {}

MinionCard::MinionCard(int _id, std::string _pid, int _spCost, int _atk, int _hp, int _rarity, std::string _detail,
                       std::string _name, int _special)
    : Card(0) {
    id = _id;
    pid = std::move(_pid);
    spCost = _spCost;
    atk = _atk;
    hp = _hp;
    rarity = _rarity;
    detail = std::move(_detail);
    name = std::move(_name);
    special = _special;
}

SpellCard::SpellCard(int _id, std::string _pid, int _spCost, int _rarity, std::string _detail, std::string _name)
    : Card(0) {
    id = _id;
    pid = std::move(_pid);
    spCost = _spCost;
    rarity = _rarity;
    detail = std::move(_detail);
    name = std::move(_name);
}

// nowatk and nowhp are left open for placeholders; zero keeps them predictable.
Character::Character(int _id, int _pos, bool _camp)
    : id(_id), pos(_pos), pid(""), atk(0), hp(1), spCost(0), nowatk(0), nowhp(0), camp(_camp), rarity(0), special(0),
      atkCnt(0), detail(""), name("") {}

void Character::printLarge(Game*, int, int) {}
void Character::beginOfMyTurn(Game*) {}
void Character::endOfMyTurn(Game*) {}
void Character::battleCry(Game*) {}
void Character::deathRattle(Game*) {}
void Character::endOfTurn(Game*) {}

Minion::Minion(int _id, std::string _pid, int _pos, bool _camp, int _spCost, int _atk, int _hp, int _rarity,
               std::string _name, std::string _detail, int _special)
    : Character(0, -1, false) {
    assign(_id, _pid, _pos, _camp, _spCost, _atk, _hp, _rarity, _name, _detail, _special);
}

void Minion::assign(int _id, const std::string& _pid, int _pos, bool _camp, int _spCost, int _atk, int _hp,
                    int _rarity, const std::string& _name, const std::string& _detail, int _special) {
    id = _id;
    pid = _pid;
    pos = _pos;
    camp = _camp;
    spCost = _spCost;
    atk = _atk;
    hp = _hp;
    rarity = _rarity;
    special = _special;
    nowatk = atk;
    nowhp = hp;
    detail = _detail;
    name = _name;
    atkCnt = 0;
}

void Minion::endOfMyTurn(Game*) {}
void Minion::battleCry(Game*) {}
void Minion::endOfTurn(Game*) {}

MainHero::MainHero(int _id, std::string _pid, int _pos, bool _camp, int _atk, int _hp, std::string _name)
    : Character(0, -1, false) {
    id = _id;
    pid = std::move(_pid);
    pos = _pos;
    camp = _camp;
    atk = _atk;
    hp = _hp;
    rarity = 3;
    spCost = 0;
    detail = "";
    special = 0;
    atkCnt = 0;
    nowatk = atk;
    nowhp = hp;
    name = std::move(_name);
}

void MainHero::endOfTurn(Game*) {}

// Special minions: Minion() with all defaults, then the same assignments as Minion's constructor.
#define SPECIAL_MINION_CONSTRUCTOR(Class)                                                                          \
    Class::Class(int _id, std::string _pid, int _pos, bool _camp, int _spCost, int _atk, int _hp, int _rarity,     \
                 std::string _name, std::string _detail, int _special)                                             \
        : Minion() {                                                                                               \
        assign(_id, _pid, _pos, _camp, _spCost, _atk, _hp, _rarity, _name, _detail, _special);                     \
    }

SPECIAL_MINION_CONSTRUCTOR(Minion_Priscilla)
SPECIAL_MINION_CONSTRUCTOR(Minion_Claude)
SPECIAL_MINION_CONSTRUCTOR(Minion_FPrincess)
SPECIAL_MINION_CONSTRUCTOR(Minion_Ara)
SPECIAL_MINION_CONSTRUCTOR(Minion_Ara_Tentacle)
#undef SPECIAL_MINION_CONSTRUCTOR

Minion_Hana::Minion_Hana(int _id, std::string _pid, int _pos, bool _camp, int _spCost, int _atk, int _hp, int _rarity,
                         std::string _name, std::string _detail, int _special)
    : Minion() {
    assign(_id, _pid, _pos, _camp, _spCost, _atk, _hp, _rarity, _name, _detail, _special);
    immuneLast = 0;
}
