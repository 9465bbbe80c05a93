// End screens. (Placeholder behaviour until the presentation lands.)
#include "game/game.h"

void Game::win() { gameEnd = true; }
void Game::lose() { gameEnd = true; }
