// Cards (in decks and hands) and characters (on the twenty board slots), the keyword bits,
// the catalogue of cards and the six special minions.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "card/pool.h"

class Game;

// Keyword bits of Character::special.
enum Keyword {
    REVIVE = 1,
    SHIELD = 2,
    IMMUNE = 4,
    LIFESTEAL = 8,
    TAUNT = 16,
};

class Card {
public:
    int spCost;
    std::string pid;
    int id;
    int rarity;
    bool changed;
    std::string detail;
    std::string name;

    explicit Card(int _id);

    virtual void print(Game* game, int pos);
    virtual void genMinion(Game* game, int pos, bool camp);
    virtual void printLarge(Game* game, int x, int y);
    virtual bool canUse(Game* game, bool camp);
    virtual void useSpell(Game* game, int pos, bool camp);
    virtual void setTarget(Game* game);
    // A copy that shares nothing with this one (a simulated position's own card).
    virtual Card* clone() const { return new Card(*this); }

    virtual ~Card() = default;
    static void* operator new(std::size_t size);
    static void operator delete(void* p) noexcept;
};

class MinionCard : public Card {
public:
    int atk;
    int hp;
    int special;

    MinionCard(int _id, std::string _pid, int _spCost, int _atk, int _hp, int _rarity, std::string _detail,
               std::string _name, int _special);

    void print(Game* game, int pos) override;
    void genMinion(Game* game, int pos, bool camp) override;
    void printLarge(Game* game, int x, int y) override;
    bool canUse(Game* game, bool camp) override;
    MinionCard* clone() const override { return new MinionCard(*this); }
};

class SpellCard : public Card {
public:
    SpellCard(int _id, std::string _pid, int _spCost, int _rarity, std::string _detail, std::string _name);

    void print(Game* game, int pos) override;
    void printLarge(Game* game, int x, int y) override;
    bool canUse(Game* game, bool camp) override;
    void useSpell(Game* game, int pos, bool camp) override;
    void setTarget(Game* game) override;
    SpellCard* clone() const override { return new SpellCard(*this); }
};

class Character {
public:
    int id;
    int pos;
    std::string pid;
    int atk;
    int hp;
    int spCost;
    int nowatk;
    int nowhp;
    bool camp;
    int rarity;
    int special;
    int atkCnt;
    std::string detail;
    std::string name;

    Character(int _id, int _pos, bool _camp);

    virtual void print(Game* game);
    virtual void printLarge(Game* game, int x, int y);
    virtual void beginOfMyTurn(Game* game);
    virtual void endOfMyTurn(Game* game);
    virtual void attack(Game* game, int to, bool normalAtk, bool getDamage, bool firstAttacker, int dmg);
    virtual void chooseTarget(Game* game);
    virtual int setTarget(Game* game, std::vector<int> candi, bool camp);
    virtual void battleCry(Game* game);
    virtual void deathRattle(Game* game);
    virtual void endOfTurn(Game* game);
    virtual bool canBecomeTarget(Game* game, bool fromCamp, int type);
    virtual bool canBecomeSpellTarget(Game* game, bool fromCamp);
    virtual bool canAtk(Game* game);
    virtual void heal(Game* game, int val);
    virtual int getDamage(Game* game, int dmg);
    // A copy that shares nothing with this one (a simulated position's own character).
    virtual Character* clone() const { return new Character(*this); }

    virtual ~Character() = default;
    static void* operator new(std::size_t size);
    static void operator delete(void* p) noexcept;
};

class Minion : public Character {
public:
    Minion(int _id = 0, std::string _pid = "", int _pos = -1, bool _camp = false, int _spCost = 0, int _atk = 0,
           int _hp = 1, int _rarity = 0, std::string _name = "", std::string _detail = "", int _special = 0);

    void print(Game* game) override;
    void printLarge(Game* game, int x, int y) override;
    void beginOfMyTurn(Game* game) override;
    void endOfMyTurn(Game* game) override;
    void chooseTarget(Game* game) override;
    void battleCry(Game* game) override;
    void deathRattle(Game* game) override;
    void endOfTurn(Game* game) override;
    Minion* clone() const override { return new Minion(*this); }

protected:
    // The assignments every minion constructor makes, in their order.
    void assign(int _id, const std::string& _pid, int _pos, bool _camp, int _spCost, int _atk, int _hp,
                int _rarity, const std::string& _name, const std::string& _detail, int _special);
};

class MainHero : public Character {
public:
    MainHero(int _id, std::string _pid, int _pos, bool _camp, int _atk, int _hp, std::string _name);

    void print(Game* game) override;
    void deathRattle(Game* game) override;
    void endOfTurn(Game* game) override;
    MainHero* clone() const override { return new MainHero(*this); }
};

// The parameter list every special minion shares with Minion.
#define MINION_PARAMS                                                                                   \
    int _id = 0, std::string _pid = "", int _pos = -1, bool _camp = false, int _spCost = 0, int _atk = 0, \
        int _hp = 1, int _rarity = 0, std::string _name = "", std::string _detail = "", int _special = 0

class Minion_Hana : public Minion {
public:
    int immuneLast;
    Minion_Hana(MINION_PARAMS);
    void deathRattle(Game* game) override;
    void endOfTurn(Game* game) override;
    Minion_Hana* clone() const override { return new Minion_Hana(*this); }
};

class Minion_Priscilla : public Minion {
public:
    Minion_Priscilla(MINION_PARAMS);
    void battleCry(Game* game) override;
    Minion_Priscilla* clone() const override { return new Minion_Priscilla(*this); }
};

class Minion_Claude : public Minion {
public:
    Minion_Claude(MINION_PARAMS);
    void battleCry(Game* game) override;
    Minion_Claude* clone() const override { return new Minion_Claude(*this); }
};

class Minion_FPrincess : public Minion {
public:
    Minion_FPrincess(MINION_PARAMS);
    void endOfMyTurn(Game* game) override;
    Minion_FPrincess* clone() const override { return new Minion_FPrincess(*this); }
};

class Minion_Ara : public Minion {
public:
    Minion_Ara(MINION_PARAMS);
    void battleCry(Game* game) override;
    Minion_Ara* clone() const override { return new Minion_Ara(*this); }
};

class Minion_Ara_Tentacle : public Minion {
public:
    Minion_Ara_Tentacle(MINION_PARAMS);
    void endOfMyTurn(Game* game) override;
    Minion_Ara_Tentacle* clone() const override { return new Minion_Ara_Tentacle(*this); }
};

#undef MINION_PARAMS

// The card catalogue: each definition creates a new card object.
#define CARD_NEWBIE (cardCatalogue::newbie())
#define CARD_HANA (cardCatalogue::hana())
#define CARD_PRISCILLA (cardCatalogue::priscilla())
#define CARD_CLAUDE (cardCatalogue::claude())
#define CARD_FPRINCESS (cardCatalogue::fprincess())
#define CARD_ARA (cardCatalogue::ara())
#define CARD_ARA_TENTACLE (cardCatalogue::araTentacle())
#define CARD_HIT (cardCatalogue::hit())

namespace cardCatalogue {
MinionCard* newbie();
MinionCard* hana();
MinionCard* priscilla();
MinionCard* claude();
MinionCard* fprincess();
MinionCard* ara();
MinionCard* araTentacle();
SpellCard* hit();
} // namespace cardCatalogue

// The board class of a catalogue id, created with the card's values for slot pos of side camp;
// nullptr for an id that has no board class.
Minion* makeBoardMinion(const MinionCard& card, int pos, bool camp);

// Side camp's hero's slot and the first of its nine places (camp true: the opponent's).
inline int heroSlot(bool camp) { return camp ? 1 : 0; }
inline int firstPlace(bool camp) { return camp ? 11 : 2; }
// The enemy hero's slot, then the enemy places left to right, for an act of side camp.
std::vector<int> enemySlots(bool camp);
// Whether the minion of this card asks its side for a target when it is played (its battle cry
// picks one of battleCryCandidates); the candidates before the rule of who may be picked.
bool asksForTarget(const Card& card);
std::vector<int> battleCryCandidates(const Card& card, bool camp);
