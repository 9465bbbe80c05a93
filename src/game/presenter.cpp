#include "game/presenter.h"

#include "ai/ai.h" // up: without a pick planned, the opponent's AI answers, as its rules say
#include "game/game.h"
#include "game/policy.h"
#include "game/simulator.h"

void SilentPresenter::openingExchange(Game* game) { simulator::apply(*game, player.choose(*game)); }

void SilentPresenter::playerTurn(Game* game) {
    if (turnLimit > 0 && game->battle.turn > turnLimit) {
        game->gameEnd = true; // undecided: neither hero has fallen
        return;
    }
    simulator::playTurn(*game, player);
}

int SilentPresenter::playerPick(Game* game) { return player.pick(*game, false); }

int pickTarget(Game* game, bool camp) {
    int planned = game->plannedPick;
    game->plannedPick = -1; // a plan answers one pick
    if (planned >= 0 && planned < 20 && game->battle.canAsTarget[planned]) return planned;
    if (!camp) return game->presenter->playerPick(game);
    if (game->opponent) return game->opponent->pick(*game, true);
    if (game->ai) return game->ai->chooseTarget(game);
    return AI().chooseTarget(game); // the rules have no state, so any instance answers the same
}
