// Battle operations on hands and decks. (Placeholder behaviour until the rules land.)
#include "game/game.h"

void Battle::drawCard(Game*, bool) {}
void Battle::getCard(Game*, Card*, bool, int) {}
void Battle::useCard(Game*, int, int, bool) {}
void Battle::refresh(Game*) {}
