// The program: launcher, then the lobby and its matches until the window is closed.
#pragma once

int runGame();
