// The program: the launcher, then the lobby, whose one button starts a match; back to the lobby
// when the match is over, until the player closes the window.
#include "app/lobby.h"

#include <algorithm>
#include <memory>

#include "ai/policies.h"
#include "console/start.h"
#include "game/driver.h"
#include "game/policy.h"
#include "game/game.h"
#include "platform/platform.h"
#include "render/assets.h"
#include "render/easyx_con.h"
#include "render/surface.h"

namespace {

// A place as the player can find it again: a relative one from the working folder. File names
// are UTF-8 here; the window draws GBK.
std::string shownPlace(const std::string& place) { return platform::utf8ToGbk(platform::fullPath(place)); }

constexpr int MESSAGE_LINE = 48;                    // reference units from one line to the next
constexpr COLORREF MESSAGE_HEADING = 0x00FFFF;      // yellow
constexpr size_t MESSAGE_HEADING_LINES = 2;

} // namespace

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

bool hasPictures(const Game& game) {
    return std::any_of(game.pmap.begin(), game.pmap.end(),
                       [](const auto& entry) { return entry.second && entry.second->img.getwidth() > 0; });
}

std::vector<std::string> missingPicturesLines(const std::vector<std::string>& places, const std::string& folderUsed) {
    std::vector<std::string> lines{"没有图片，游戏无法进行。", "The game cannot be played without its pictures."};
    if (folderUsed.empty()) {
        lines.push_back("在这些文件夹中找过 size.ini 和 content.ini / Looked for size.ini and content.ini in:");
        for (const std::string& place : places) lines.push_back(shownPlace(place));
    } else {
        lines.push_back("这个文件夹中没有能读取的图片 / No picture could be read from:");
        lines.push_back(shownPlace(folderUsed));
    }
    lines.push_back("关闭窗口即可退出 / Close the window to quit.");
    return lines;
}

void runMissingPictures(Game& game) {
    std::vector<std::string> lines = missingPicturesLines(assetSearchPlaces(), assetFolder());
    int top = 512 - (int)lines.size() * MESSAGE_LINE / 2;
    for (size_t i = 0; i < lines.size(); ++i) {
        bool heading = i < MESSAGE_HEADING_LINES;
        EText(lines[i], heading ? MESSAGE_HEADING : WHITE, heading, 0, 0, 1440, MESSAGE_LINE)
            .print(&game, 756, top + (int)i * MESSAGE_LINE + MESSAGE_LINE / 2);
    }
    FlushBatchDraw();
    // Nothing to click: wait, keeping the window serviced, until it is closed.
    for (;;) Sleep(10);
}

int runGame(const AskedChoices& asked) {
    Game game;
    Settings chosen = createGame(game, asked);
    std::unique_ptr<Policy> opponent = opponentPolicy(chosen.opponent.chosen);
    game.opponent = opponent.get();
    if (!hasPictures(game)) runMissingPictures(game);
    runLobby(game);
}
