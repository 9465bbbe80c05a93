// Until the launcher and the lobby exist: open the window at the saved size, show the lobby.
#include "game/lobby.h"

#include <filesystem>
#include <fstream>
#include <iostream>

#include "game/game.h"
#include "render/surface.h"

namespace {

constexpr int SIZES[3][2] = {{512, 756}, {768, 1134}, {1024, 1512}};

int savedResolution() {
    std::ifstream settings("setting.ini");
    int index = 1;
    if (!(settings >> index) || index < 0 || index > 2) index = 1;
    return index;
}

} // namespace

int runGame() {
    Game game;
    int index = savedResolution();
    game.rate = SIZES[index][0] / 1024.0;
    if (!std::filesystem::is_directory("asset"))
        std::cerr << "cardbattle: no asset folder in " << std::filesystem::current_path().string()
                  << "; the window stays black" << std::endl;
    else
        game.loadAssets();
    initgraph(SIZES[index][1], SIZES[index][0], 0);
    BeginBatchDraw();
    setbkmode(TRANSPARENT);
    for (;;) {
        game.printPic("lobby", 0, 0, 0);
        FlushBatchDraw();
        Sleep(50);
    }
}
