// What one battle frame costs when the game draws it with Battle::printBattle: a full board with
// every keyword, a full hand, the hover preview and every text item, beside one memcpy of the
// 1512 x 1024 frame measured in the same run. The pictures are the baked catalogue when asset/ is
// in the working directory, and the tests' solid pictures otherwise (every pixel opaque, so every
// pixel of every picture is copied).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "frame_memcpy.h"
#include "full_battle.h"

namespace {

using bench_scene::bakedPictures;
using bench_scene::FullBattle;

double rateOf(const benchmark::State& state) { return state.range(0) / 100.0; }

// The whole frame drawn from nothing: printBattle records it and every picture and text is drawn
// into the window frame, whatever the frame before looked like. Presenting is left out.
void BattleFrameFromNothing(benchmark::State& state) {
    FullBattle battle(rateOf(state));
    int n = 0;
    for (auto _ : state) {
        battle.pointAt(n++ & 1);
        battle.game.battle.printBattle(&battle.game, false);
        drawRecordedFrame();
        benchmark::ClobberMemory();
    }
    state.SetLabel(bakedPictures() ? "baked pictures" : "solid test pictures");
    reclaimMatchObjects();
}
BENCHMARK(BattleFrameFromNothing)->Arg(100)->Arg(75)->Arg(50)->Unit(benchmark::kMicrosecond);

// The frame as the battle driver asks for it, flushed, with the pointer moving between a hand card
// and a minion at every frame: the surface draws again only where the frame changed (the large
// view and a marker), and the headless window copies the whole frame when it is presented.
void BattleFrameHoverMoved(benchmark::State& state) {
    FullBattle battle(rateOf(state));
    int n = 0;
    for (auto _ : state) {
        battle.pointAt(n++ & 1);
        battle.game.battle.printBattle(&battle.game, true);
    }
    state.SetLabel(bakedPictures() ? "baked pictures" : "solid test pictures");
    reclaimMatchObjects();
}
BENCHMARK(BattleFrameHoverMoved)->Arg(100)->Arg(75)->Arg(50)->Unit(benchmark::kMicrosecond);

// The pointer at rest: each frame repeats the one on screen, which the surface recognises.
void BattleFrameUnchanged(benchmark::State& state) {
    FullBattle battle(rateOf(state));
    battle.pointAt(0);
    battle.game.battle.printBattle(&battle.game, true);
    for (auto _ : state) battle.game.battle.printBattle(&battle.game, true);
    state.SetLabel(bakedPictures() ? "baked pictures" : "solid test pictures");
    reclaimMatchObjects();
}
BENCHMARK(BattleFrameUnchanged)->Arg(100)->Arg(75)->Arg(50)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
