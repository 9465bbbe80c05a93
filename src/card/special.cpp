// The six special minions. (Placeholder behaviour until the rules land.)
#include "card/card.h"
#include "game/game.h"

void Minion_Hana::deathRattle(Game* game) { Minion::deathRattle(game); }
void Minion_Hana::endOfTurn(Game*) {}
void Minion_Priscilla::battleCry(Game*) {}
void Minion_Claude::battleCry(Game*) {}
void Minion_FPrincess::endOfMyTurn(Game*) {}
void Minion_Ara::battleCry(Game*) {}
void Minion_Ara_Tentacle::endOfMyTurn(Game*) {}
