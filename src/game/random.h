// Random picks of a match. The real match draws from one stream, seeded at every match start, so a
// test that fixes the seed replays the same picks; a simulation draws from a stream of its own
// (RandomScope), so that trying positions never moves the real match's sequence and simulations on
// other threads never share one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// splitmix64: small, fast, and every output bit well mixed, which the modulo picks rely on.
class RandomStream {
public:
    explicit RandomStream(uint64_t seed = 0x9E3779B97F4A7C15ull) : state(seed) {}
    void seed(uint64_t s) { state = s; }
    // The next 32-bit number.
    unsigned next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return (unsigned)(z >> 32);
    }
    // A number below n (n > 0).
    unsigned below(unsigned n) { return next() % n; }

private:
    uint64_t state;
};

// While alive, the picks of this thread draw from `stream` (scopes nest).
class RandomScope {
public:
    explicit RandomScope(RandomStream& stream);
    ~RandomScope();
    RandomScope(const RandomScope&) = delete;
    RandomScope& operator=(const RandomScope&) = delete;

private:
    RandomStream* previous;
};

// The stream the picks of this thread draw from now.
RandomStream& currentRandom();

// Seeds the current stream directly (tests).
void seedRandom(unsigned seed);
// Seeds the current stream for a new match: the clock's seed, or the one a test has fixed.
void seedMatchRandom();
// The next 32-bit number of the current stream.
inline unsigned nextRandom() { return currentRandom().next(); }

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
