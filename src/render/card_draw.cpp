// Drawing of hand cards and board characters. (Placeholder until the presentation lands.)
#include "card/card.h"
#include "game/game.h"
#include "render/layout.h"

void Card::print(Game*, int) {}
void MinionCard::print(Game* game, int pos) {
    if (pos < 0 || pos > 7) return;
    game->printPic(pid, CardPos[pos].x, CardPos[pos].y, 0);
}
void SpellCard::print(Game* game, int pos) { Card::print(game, pos); }
void MinionCard::printLarge(Game*, int, int) {}
void SpellCard::printLarge(Game*, int, int) {}
void Character::print(Game*) {}
void MainHero::print(Game* game) { game->printPic(pid, CharPos[pos].x, CharPos[pos].y, 4); }
void Minion::print(Game* game) { game->printPic(pid, CharPos[pos].x, CharPos[pos].y, 4); }
void Minion::printLarge(Game*, int, int) {}
