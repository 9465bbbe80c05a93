// One whole match, from setting up the board to the end screen, and the match's own steps between
// the sides' decisions, which the simulator runs too.
#pragma once

class Game;

// A match seeded from the clock (or the seed a test has fixed), shown and played through the
// game's presenter.
void startBattle(Game* game);
// The same match from a given seed.
void playMatch(Game* game, unsigned seed);

// ---- the steps between the decisions ----
// A new match from a given seed, up to the opening exchange (status CHANGECARD): the board, the
// decks, the opening hands.
void dealMatch(Game* game, unsigned seed);
// After the opening exchange: the marked cards go back, the deck is shuffled, the hand refilled,
// the opponent's AI made.
void closeExchange(Game* game);
// The beginning of camp's turn: its turn hooks, mana and draw (and, for the player, a new full
// turn and a fresh choice).
void openTurn(Game* game, bool camp);
// The end of camp's turn: the turn-end hooks.
void closeTurn(Game* game, bool camp);
