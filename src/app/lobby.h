// The program: launcher, then the lobby and its matches until the window is closed. It sits above
// the game and the launcher, which it calls.
#pragma once

#include <string>
#include <vector>

#include "game/settings.h"

class Game;

// The lobby loop: the lobby picture and its adventure button; a press starts a match. Never returns.
[[noreturn]] void runLobby(Game& game);
// The whole program: the launcher, then the lobby, or the missing-pictures screen when the
// catalogue holds no picture that can be drawn. Never returns (closing the window ends it). The
// choices given on the command line replace the saved ones.
[[noreturn]] int runGame(const AskedChoices& asked = {});

// Whether any picture of the catalogue can be drawn.
bool hasPictures(const Game& game);
// The lines (GBK) shown instead of the lobby when there are no pictures: that the game cannot be
// played without them, and where they were looked for (every place, or the folder that was used
// but gave none). Places are shown as absolute paths.
std::vector<std::string> missingPicturesLines(const std::vector<std::string>& places, const std::string& folderUsed);
// Shows those lines for the catalogue's search until the window is closed. Never returns.
[[noreturn]] void runMissingPictures(Game& game);
