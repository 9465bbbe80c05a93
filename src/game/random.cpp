#include "game/random.h"

#include "platform/per_thread.h"
#include "platform/platform.h"

namespace {

RandomStream matchStream;
PER_THREAD RandomStream* current = &matchStream;

} // namespace

RandomScope::RandomScope(RandomStream& stream) : previous(current) { current = &stream; }
RandomScope::~RandomScope() { current = previous; }

RandomStream& currentRandom() { return *current; }

void seedRandom(unsigned seed) { current->seed(seed); }

void seedMatchRandom() { seedRandom(platform::matchSeed()); }
