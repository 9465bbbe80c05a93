// One whole match, from setting up the board to the end screen.
#pragma once

class Game;

void startBattle(Game* game);
