// The strong opponent: a search over the simulator that decides only from what its side can know.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "game/policy.h"
#include "game/random.h"

// How long a decision may think, whichever runs out first, and where its random picks start.
struct StrongSettings {
    // The in-game budget: the iterations bind well within the time cap on a desktop, so a match with
    // a given seed plays the same; the cap only guards a slow machine.
    static constexpr int IN_GAME_ITERATIONS = 6000;
    static constexpr int IN_GAME_MILLISECONDS = 300;

    int iterations = IN_GAME_ITERATIONS;
    int milliseconds = IN_GAME_MILLISECONDS;
    uint64_t seed = 1;
    // Called at least every 50 ms of thinking, so that a window or a page keeps answering.
    std::function<void()> yield;
    // Where the time is read, in milliseconds; null for the platform's clock.
    long long (*clock)() = nullptr;
};

// What the last decision cost.
struct SearchReport {
    int iterations = 0;
    int chosenVisits = 0; // the iterations that went through the action played
    long long milliseconds = 0;
    bool timeRanOut = false;
};

// Information-set Monte Carlo tree search. Each iteration deals the cards its side cannot see (the
// other side's hand and both decks' order) anew from what is public, walks the tree shared by all
// deals (UCT over the actions legal in this deal, both sides' turns), adds one action, and plays
// the match out: the other side by the standard rules, its own side by them too but placing its
// minions where they may strike the hero. The most tried action at the root is played.
class StrongPolicy : public Policy {
public:
    explicit StrongPolicy(StrongSettings settings = {});
    Action choose(Game& game) override;
    int pick(Game& game, bool camp) override;
    const SearchReport& lastSearch() const { return report; }

private:
    struct Node {
        uint64_t key;         // the action that leads here, by card kind rather than hand index
        bool mover;           // the side that took it
        int firstChild = -1;
        int nextSibling = -1;
        int visits = 0;
        int available = 0;    // iterations in which the action was legal at its parent
        double reward = 0;    // summed over the visits, from the mover's view
    };
    struct Search;

    StrongSettings settings;
    RandomStream stream; // each search's picks start from the next number of this one
    SearchReport report;
    std::vector<Node> nodes;
};
