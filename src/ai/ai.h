// The computer opponent: a fixed greedy policy with no state of its own.
#pragma once

#include <cstddef>

class Game;

class AI {
public:
    AI();
    ~AI();
    // Plays the opponent's whole turn: with the match's chosen opponent policy when it has one,
    // otherwise by the standard rules (StandardPolicy).
    void work(Game* game);
    // Answers a target pick for the opponent among the marked slots.
    int chooseTarget(Game* game);

    // Allocated through the match pool with the cards and characters (see card/pool.h).
    static void* operator new(std::size_t size);
    static void operator delete(void* p) noexcept;
};
