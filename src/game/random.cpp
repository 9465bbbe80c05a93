#include "game/random.h"

#include <cstdint>

#include "platform/platform.h"

namespace {

// splitmix64: small, fast, and every output bit well mixed, which the modulo picks rely on.
uint64_t state = 0x9E3779B97F4A7C15ull;

} // namespace

void seedRandom(unsigned seed) { state = seed; }

void seedMatchRandom() { seedRandom(platform::matchSeed()); }

unsigned nextRandom() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return (unsigned)(z >> 32);
}
