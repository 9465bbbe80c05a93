// The rules of a match as a simulator: the legal actions of the side to move, applying one, and
// the match's own steps between the sides' decisions, over any Game. With a silent presenter and
// positions copied into an arena, a search tries moves without touching the real match.
#pragma once

#include <vector>

#include "card/pool.h"
#include "game/policy.h"
#include "game/random.h"

class Game;

namespace simulator {

// The side whose decision the match waits for: the player during the opening exchange and the
// player's turn (false), the opponent during its turn (true).
bool sideToMove(const Game& game);
bool over(const Game& game);
// The side that won (false the player, true the opponent); -1 while undecided.
int winner(const Game& game);

// The distinct legal actions of the side to move, END (or the exchanges) included; none once the
// match is over. Cards of the same kind in one hand give one action. The target marks are left as
// they were.
void legalActions(Game& game, std::vector<Action>& out);
std::vector<Action> legalActions(Game& game);
bool isLegal(Game& game, const Action& action);

// Applies one legal action of the side to move through the rules, showing what its presenter
// shows: a play and an attack as the opponent's are shown, an END hands the turn over as the
// player's button and the opponent's last pass do, an EXCHANGE marks the cards and closes it.
void apply(Game& game, const Action& action);
// Applies the action, then runs the match's own steps up to the next decision: after an END the
// end of that turn and the beginning of the other side's, after the exchange the rest of the
// opening and the first turn's beginning.
void step(Game& game, const Action& action);
// Plays the side to move's turn with `policy`, until it ends the turn or the match is over.
void playTurn(Game& game, Policy& policy);

// Makes `to` a deep copy of the position of `from`: both hands and decks, the twenty places with
// every character's current values and keywords, marks, mana, turn and whose turn, and the state of
// the player's choice. Nothing is shared: the copies are made in the pool or arena in use. Its
// presenter, opponent and AI are left for the caller.
void copyPosition(const Game& from, Game& to);

} // namespace simulator

// A thread's simulations: objects from an arena of their own, picks from a stream of their own,
// while this is alive.
struct SimulationScope {
    ObjectArena arena;
    RandomStream random;
    ArenaScope arenaScope{arena};
    RandomScope randomScope{random};
};
