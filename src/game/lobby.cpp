// The program: the launcher, then the lobby, whose one button starts a match; back to the lobby
// when the match is over, until the player closes the window.
#include "game/lobby.h"

#include "console/start.h"
#include "game/driver.h"
#include "game/game.h"
#include "render/easyx_con.h"
#include "render/surface.h"

void runLobby(Game& game) {
    EButton b_adv(870, 430, "b_adv");
    b_adv.init(&game, "冒险模式", 0xFFFF00, true, 0, 0, 0, 32);
    for (;;) {
        game.printPic("lobby", 0, 0, 0);
        b_adv.show(&game);
        FlushBatchDraw();
        // The lobby button acts on the press, without waiting for the release.
        while (!b_adv.preserve(&game)) {
        }
        startBattle(&game);
    }
}

int runGame() {
    Game game;
    createGame(game);
    runLobby(game);
}
