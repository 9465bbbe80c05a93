// The battle screen. (Reduced until the presentation lands: background, board, hand.)
#include "card/card.h"
#include "game/game.h"
#include "render/surface.h"

void Battle::printBattle(Game* game, bool canFlush) {
    if (game->gameEnd) return;
    game->printPic("bg", 0, 0, 0);
    for (int i = 0; i < 20; ++i)
        if (c[i]) c[i]->print(game);
    for (int i = 0; i < (int)myCard.size(); ++i) myCard[i]->print(game, i);
    if (canFlush) FlushBatchDraw();
}
