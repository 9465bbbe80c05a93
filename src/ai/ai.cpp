// The computer opponent. (Placeholder behaviour until the rules land.)
#include "ai/ai.h"

#include "game/game.h"

AI::AI() {}
AI::~AI() {}
void AI::work(Game* game) { game->battle.nowTurn = false; }
int AI::chooseTarget(Game*) { return 1; }
