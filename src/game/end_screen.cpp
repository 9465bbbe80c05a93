// The end of a match: the result is shown until the player dismisses it, then the match is over.
#include "game/game.h"
#include "game/presenter.h"

namespace {

void endMatch(Game* game, bool won) {
    // A match is decided once: a later death in the same turn (the hooks still run after the end)
    // must not bring up a second, contrary end screen.
    if (game->gameEnd) return;
    game->presenter->matchOver(game, won);
    game->gameEnd = true;
}

} // namespace

void Game::win() { endMatch(this, true); }
void Game::lose() { endMatch(this, false); }
