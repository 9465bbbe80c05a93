// The end screens: the result over the final board until the space key (or a tap, on a touch
// screen).
#include "game/game.h"
#include "render/easyx_con.h"
#include "render/surface.h"
#include "render/way_back.h"

namespace {

void endScreen(Game* game, const char* picture) {
    // A match is decided once: a later death in the same turn (the hooks still run after the end)
    // must not bring up a second, contrary end screen.
    if (game->gameEnd) return;
    game->battle.printBattle(game, false);
    game->printPic(picture, 756, 512, 4);
    EText(backPrompt(), WHITE, true, 0, 0, 512, 32).print(game, 756, 600);
    FlushBatchDraw();
    waitForBack();
    game->gameEnd = true;
}

} // namespace

void Game::win() { endScreen(this, "win"); }
void Game::lose() { endScreen(this, "lose"); }
