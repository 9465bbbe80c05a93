// Whole headless matches played by the tests' scripted player: how long one takes on the virtual
// clock, and the resident memory after the first match against after a hundred (every card,
// character and opponent of a finished match is given back when the next one starts).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "card/card.h"
#include "game/driver.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/surface.h"
#include "support/scripted_player.h"
#include "support/test_catalogue.h"

namespace {

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

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

} // namespace

BENCHMARK_MAIN();
