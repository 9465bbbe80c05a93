// Combat and targeting: who may be picked, the strike exchange, damage, healing and death.
#include <algorithm>
#include <vector>

#include "card/card.h"
#include "game/game.h"
#include "game/presenter.h"

bool Character::canBecomeTarget(Game*, bool fromCamp, int) {
    if (id == 0) return false;
    if (fromCamp == camp) return true; // a side may always pick its own, immune or not
    return !(special & IMMUNE);
}

bool Character::canBecomeSpellTarget(Game* game, bool fromCamp) { return canBecomeTarget(game, fromCamp, 1); }

void Character::chooseTarget(Game* game) { game->battle.clearTargets(); }

void Minion::chooseTarget(Game* game) {
    Battle& b = game->battle;
    b.clearTargets();
    int first = firstPlace(!camp);
    bool hasTaunt = false;
    for (int e = first; e < first + 9; ++e)
        if (b.c[e]->special & TAUNT) hasTaunt = true;
    for (int e = first; e < first + 9; ++e)
        if (!hasTaunt || (b.c[e]->special & TAUNT)) b.canAsTarget[e] = b.c[e]->canBecomeTarget(game, camp, 0);
    // The hero is open only past an empty (or unstrikable) facing place.
    int facing = camp ? pos - 9 : pos + 9;
    bool facingMarked = facing >= first && facing < first + 9 && b.canAsTarget[facing];
    Character* hero = b.c[heroSlot(!camp)];
    b.canAsTarget[heroSlot(!camp)] = !facingMarked && hero->canBecomeTarget(game, camp, 0) && !hasTaunt;
}

int Character::setTarget(Game* game, std::vector<int> candi, bool camp) {
    Battle& b = game->battle;
    b.clearTargets();
    bool found = false;
    for (int slot : candi) {
        if (slot < 0 || slot >= 20) continue;
        if (b.c[slot]->canBecomeTarget(game, camp, 1)) {
            b.canAsTarget[slot] = true;
            found = true;
        }
    }
    if (!found) return -1;
    return pickTarget(game, camp);
}

void Character::attack(Game* game, int to, bool normalAtk, bool getDamage, bool firstAttacker, int dmg) {
    Battle& b = game->battle;
    Character* target = b.c[to];
    if (normalAtk) --atkCnt;
    game->presenter->struck(game, to);
    if (target->nowatk > 0 && getDamage) target->attack(game, pos, false, false, false, -1);
    // -1: the attacker's own attack, as it stands after the strike-back.
    int damage = dmg == -1 ? nowatk : dmg;
    int dealt = target->getDamage(game, damage);
    if (special & LIFESTEAL) b.c[camp ? 1 : 0]->heal(game, dealt);
    game->presenter->redraw(game);
    if (firstAttacker) {
        if (target->nowhp < 1) target->deathRattle(game);
        if (nowhp < 1) deathRattle(game);
    }
}

int Character::getDamage(Game*, int dmg) {
    if (special & IMMUNE) return 0;
    if (special & SHIELD) {
        special -= SHIELD;
        return 0;
    }
    nowhp -= dmg;
    return dmg;
}

void Character::heal(Game* game, int val) {
    if (nowhp >= hp) return;
    game->presenter->healed(game, pos);
    nowhp = std::min(nowhp + val, hp);
}

bool Character::canAtk(Game*) { return id != 0 && atkCnt > 0; }

void Minion::beginOfMyTurn(Game*) { atkCnt = 1; }

void Minion::deathRattle(Game* game) {
    if (special & REVIVE) {
        nowhp = 1;
        special -= REVIVE;
        return;
    }
    // Only the occupant may empty its place; a minion already gone must not clear a newcomer.
    Character*& place = game->battle.c[pos];
    if (place == this) place = new Character(0, pos, camp);
}

void MainHero::deathRattle(Game* game) {
    // The first hero to fall decides the match; a strike on a fallen hero after that
    // (turn-end effects still run) must not bring up a second end screen.
    if (game->gameEnd) return;
    if (camp)
        game->win();
    else
        game->lose();
}
