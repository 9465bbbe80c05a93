// Playing cards. (Placeholder behaviour until the rules land.)
#include "card/card.h"
#include "game/game.h"

bool MinionCard::canUse(Game*, bool) { return false; }
void MinionCard::genMinion(Game* game, int pos, bool camp) {
    if (Minion* m = makeBoardMinion(*this, pos, camp)) game->battle.c[pos] = m;
}
bool SpellCard::canUse(Game*, bool) { return false; }
void SpellCard::useSpell(Game*, int, bool) {}
void SpellCard::setTarget(Game* game) {
    for (bool& mark : game->battle.canAsTarget) mark = false;
}
