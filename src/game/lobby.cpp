// Until the lobby exists: the launcher opens the window, then the lobby picture is shown.
#include "game/lobby.h"

#include "console/start.h"
#include "game/game.h"
#include "render/surface.h"

int runGame() {
    Game game;
    createGame(game);
    for (;;) {
        game.printPic("lobby", 0, 0, 0);
        FlushBatchDraw();
        Sleep(50);
    }
}
