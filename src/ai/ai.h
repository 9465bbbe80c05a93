// The computer opponent: a fixed greedy policy with no state of its own.
#pragma once

class Game;

class AI {
public:
    AI();
    ~AI();
    // Plays the opponent's whole turn.
    void work(Game* game);
    // Answers a target pick for the opponent among the marked slots.
    int chooseTarget(Game* game);
};
