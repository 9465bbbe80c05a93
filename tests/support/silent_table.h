// A match played without a screen by the standard rules in both seats, one decision at a time: how
// the tests and the benchmarks reach a position of a real match.
#pragma once

#include <optional>

#include "ai/policies.h"
#include "game/game.h"
#include "game/presenter.h"
#include "game/simulator.h"

namespace testing_support {

struct SilentTable {
    StandardPolicy rules[2]; // the player's seat, the opponent's
    SilentPresenter presenter{rules[0]};
    Game game;

    SilentTable() {
        game.presenter = &presenter;
        game.opponent = &rules[1];
    }
    // Played on until `side` (either, when not given) is about to begin its turn `turn`.
    void playUntil(int turn, std::optional<bool> side = std::nullopt) {
        while (!simulator::over(game) &&
               (game.battle.turn < turn || (side && simulator::sideToMove(game) != *side)))
            simulator::step(game, rules[simulator::sideToMove(game)].choose(game));
    }
};

} // namespace testing_support
