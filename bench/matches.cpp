// Whole headless matches played by the tests' scripted player: how long one takes on the virtual
// clock, and the resident memory after the first match against after a hundred (every card,
// character and opponent of a finished match is given back when the next one starts). Beside them,
// silent matches (the rules alone, the standard policy in both seats), the deep copy of a
// mid-game position that a search makes for every position it tries, and one decision of the
// strong opponent.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "ai/policies.h"
#include "ai/strong.h"
#include "card/card.h"
#include "game/driver.h"
#include "game/game.h"
#include "game/presenter.h"
#include "game/simulator.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/surface.h"
#include "resident_memory.h"
#include "support/scripted_player.h"
#include "support/silent_table.h"
#include "support/test_catalogue.h"

namespace {

struct Table {
    Game game;
    Table() {
        platform::headless::enable();
        game.rate = 0.5;
        testing_support::loadSolidCatalogue(game);
        initgraph(756, 512, 0);
        BeginBatchDraw();
        setbkmode(TRANSPARENT);
    }
    void play(unsigned seed) {
        platform::headless::setSeed(seed);
        testing_support::ScriptedPlayer player(game, testing_support::PlayerStyle{});
        player.attach();
        startBattle(&game);
        player.detach();
    }
};

void OneMatch(benchmark::State& state) {
    static Table table;
    unsigned seed = 0;
    for (auto _ : state) table.play(++seed);
}
BENCHMARK(OneMatch)->Unit(benchmark::kMillisecond);

void ResidentMemoryOverAHundredMatches(benchmark::State& state) {
    for (auto _ : state) {
        Table table;
        table.play(1);
        long afterOne = residentKiB();
        size_t objectsAfterOne = matchObjectCount();
        for (unsigned seed = 2; seed <= 100; ++seed) table.play(seed);
        state.counters["RSS_after_1_KiB"] = (double)afterOne;
        state.counters["RSS_after_100_KiB"] = (double)residentKiB();
        state.counters["objects_after_1"] = (double)objectsAfterOne;
        state.counters["objects_after_100"] = (double)matchObjectCount();
        reclaimMatchObjects();
    }
}
BENCHMARK(ResidentMemoryOverAHundredMatches)->Iterations(1)->Unit(benchmark::kMillisecond);

// Silent matches on this thread in an arena of their own, the standard rules in both seats.
struct SilentTable : SimulationScope, testing_support::SilentTable {
    // Match 1 played until `side` is about to begin its turn `turn`.
    void playUntil(int turn, bool side) {
        dealMatch(&game, 1);
        testing_support::SilentTable::playUntil(turn, side);
    }
};

// Items per second is matches per second.
void SilentMatch(benchmark::State& state) {
    SilentTable table;
    unsigned seed = 0;
    for (auto _ : state) playMatch(&table.game, ++seed);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(SilentMatch)->Unit(benchmark::kMicrosecond);

// A position of the sixth turn, both boards and hands busy, copied into an arena reset between
// copies, as a search does.
void CopyMidGamePosition(benchmark::State& state) {
    SilentTable table;
    table.playUntil(6, false);
    const Battle& b = table.game.battle;
    ObjectArena positions;
    Game copy;
    for (auto _ : state) {
        {
            ArenaScope inPositions(positions);
            simulator::copyPosition(table.game, copy);
        }
        positions.reset();
    }
    state.counters["objects"] = (double)(b.myCard.size() + b.myDeck.size() + b.opCard.size() + b.opDeck.size() + 20);
}
BENCHMARK(CopyMidGamePosition)->Unit(benchmark::kMicrosecond);

// One decision of the strong opponent at the in-game budget, at the start of its fourth turn (its
// hand and board busy, the player's rare cards in play or in hand). Each run searches afresh from
// the same seed, so every run does the same work.
void StrongDecision(benchmark::State& state) {
    SilentTable table;
    table.playUntil(4, true);
    StrongSettings settings;
    settings.milliseconds = 1000000; // the iterations alone bound it here
    for (auto _ : state) {
        StrongPolicy strong(settings);
        benchmark::DoNotOptimize(strong.choose(table.game));
        state.counters["iterations"] = strong.lastSearch().iterations;
    }
}
BENCHMARK(StrongDecision)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
