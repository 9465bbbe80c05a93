// Whole headless matches played by the tests' scripted player: how long one takes on the virtual
// clock, and the resident memory after the first match against after a hundred (every card,
// character and opponent of a finished match is given back when the next one starts). Beside them,
// silent matches (the rules alone, the standard policy in both seats) and the deep copy of a
// mid-game position that a search makes for every position it tries.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "ai/policies.h"
#include "card/card.h"
#include "game/driver.h"
#include "game/game.h"
#include "game/presenter.h"
#include "game/simulator.h"
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

// Silent matches on one thread: items per second is matches per second.
void SilentMatch(benchmark::State& state) {
    SimulationScope scope;
    StandardPolicy player, opponent;
    SilentPresenter presenter(player);
    Game game;
    game.presenter = &presenter;
    game.opponent = &opponent;
    unsigned seed = 0;
    for (auto _ : state) playMatch(&game, ++seed);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(SilentMatch)->Unit(benchmark::kMicrosecond);

// A position of the sixth turn, both boards and hands busy, copied into an arena reset between
// copies, as a search does.
void CopyMidGamePosition(benchmark::State& state) {
    SimulationScope scope;
    StandardPolicy player, opponent;
    SilentPresenter presenter(player);
    Game game;
    game.presenter = &presenter;
    game.opponent = &opponent;
    dealMatch(&game, 1);
    while (!simulator::over(game) && game.battle.turn < 6)
        simulator::step(game, (simulator::sideToMove(game) ? opponent : player).choose(game));
    ObjectArena positions;
    Game copy;
    for (auto _ : state) {
        {
            ArenaScope inPositions(positions);
            simulator::copyPosition(game, copy);
        }
        positions.reset();
    }
    state.counters["objects"] = (double)(game.battle.myCard.size() + game.battle.myDeck.size() +
                                         game.battle.opCard.size() + game.battle.opDeck.size() + 20);
}
BENCHMARK(CopyMidGamePosition)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
