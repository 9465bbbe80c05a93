// Combat and targeting. (Placeholder behaviour until the rules land.)
#include <vector>

#include "card/card.h"
#include "game/game.h"

void Character::attack(Game*, int, bool, bool, bool, int) {}
void Character::chooseTarget(Game* game) {
    for (bool& mark : game->battle.canAsTarget) mark = false;
}
int Character::setTarget(Game*, std::vector<int>, bool) { return -1; }
bool Character::canBecomeTarget(Game*, bool, int) { return false; }
bool Character::canBecomeSpellTarget(Game*, bool) { return false; }
bool Character::canAtk(Game*) { return id != 0 && atkCnt > 0; }
void Character::heal(Game*, int) {}
int Character::getDamage(Game*, int) { return 0; }
void Minion::beginOfMyTurn(Game*) {}
void Minion::chooseTarget(Game* game) { Character::chooseTarget(game); }
void Minion::deathRattle(Game*) {}
void MainHero::deathRattle(Game*) {}
