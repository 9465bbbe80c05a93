// Random picks of a match. One generator for the whole game, seeded at every match start, so a
// test that fixes the seed replays the same picks.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

// Seeds the generator directly (tests).
void seedRandom(unsigned seed);
// Seeds the generator for a new match: the clock's seed, or the one a test has fixed.
void seedMatchRandom();
// The next 32-bit number.
unsigned nextRandom();

// Shuffles in place: for i from 1 to n - 1, swap element i with element nextRandom() mod (i + 1).
template <class T>
void randomShuffle(std::vector<T>& items) {
    for (std::size_t i = 1; i < items.size(); ++i) {
        std::size_t j = nextRandom() % (i + 1);
        std::swap(items[i], items[j]);
    }
}

// One element picked at random: the list is shuffled and its first element taken.
// The list must not be empty.
template <class T>
T randomPick(std::vector<T> items) {
    randomShuffle(items);
    return items[0];
}
