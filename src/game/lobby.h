// The program: launcher, then the lobby and its matches until the window is closed.
#pragma once

class Game;

// The lobby loop: the lobby picture and its adventure button; a press starts a match. Never returns.
[[noreturn]] void runLobby(Game& game);
// The whole program: the launcher, then the lobby. Never returns (closing the window ends it).
[[noreturn]] int runGame();
