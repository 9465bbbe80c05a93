// The computer opponent. Its rules are the standard policy, played through the simulator; on the
// screen each play and attack is shown as it is made.
#include "ai/ai.h"

#include "ai/policies.h"
#include "card/card.h"
#include "game/game.h"
#include "game/simulator.h"

AI::AI() {}
AI::~AI() {}

void AI::work(Game* game) {
    StandardPolicy standard; // its passes start afresh every turn
    simulator::playTurn(*game, game->opponent ? *game->opponent : standard);
}

int AI::chooseTarget(Game* game) { return standardPick(game->battle, true); }

void* AI::operator new(std::size_t size) { return poolAllocate(size, destroyAs<AI>); }
void AI::operator delete(void* p) noexcept { poolRelease(p); }
