// Playing cards: whether a card may be played, summoning, and the one spell.
#include "card/card.h"
#include "game/game.h"
#include "game/presenter.h"

namespace {

// Mana suffices and the side has a free place (spells too need one).
bool playable(Game* game, const Card& card, bool camp) {
    Battle& b = game->battle;
    if (card.spCost > (camp ? b.opSp : b.mySp)) return false;
    int first = firstPlace(camp);
    for (int slot = first; slot < first + 9; ++slot)
        if (b.c[slot]->id == 0) return true;
    return false;
}

} // namespace

bool MinionCard::canUse(Game* game, bool camp) { return playable(game, *this, camp); }

void MinionCard::genMinion(Game* game, int pos, bool camp) {
    if (Minion* m = makeBoardMinion(*this, pos, camp)) game->battle.c[pos] = m;
}

bool SpellCard::canUse(Game* game, bool camp) { return playable(game, *this, camp); }

void SpellCard::setTarget(Game* game) {
    Battle& b = game->battle;
    b.clearTargets();
    if (id != 10000) return;
    bool caster = b.nowTurn; // the side whose turn it is casts
    int hero = heroSlot(!caster), first = firstPlace(!caster);
    b.canAsTarget[hero] = b.c[hero]->canBecomeSpellTarget(game, caster);
    for (int slot = first; slot < first + 9; ++slot) b.canAsTarget[slot] = b.c[slot]->canBecomeSpellTarget(game, caster);
}

void SpellCard::useSpell(Game* game, int pos, bool camp) {
    // The player sees the opponent's spell and acknowledges it before it takes effect.
    if (camp) game->presenter->spellCast(game, *this);
    if (id == 10000) game->battle.c[camp ? 1 : 0]->attack(game, pos, false, false, true, 3);
}
