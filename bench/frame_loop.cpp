// The whole battle frame of bench/frame.cpp's BattleFrameFromNothing composed from nothing, timed by
// a plain loop on the steady clock, so that the same program runs natively and as WebAssembly under
// Node (V8, as in Chromium), where Google Benchmark is not at hand. scripts/bench_web.sh runs both
// in one go and gives their ratio.
//
//   bench_frame_loop [frames per batch]      (natively)
//   node bench_frame_loop.js [frames]        (the browser build)
//
// Each size is warmed up first (the text and the pictures' runs are prepared once, and V8 compiles
// the hot code again, optimised, while it runs), then timed in batches: the best batch is the
// figure, as what a busy machine adds to a batch is never less than nothing.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread> // also brings the clocks: <chrono> itself cannot be compiled for GBK text
#include <vector>

#include "full_battle.h"

namespace {

constexpr int BATCHES = 7;
constexpr double WARM_UP_SECONDS = 1.5;

using Clock = std::chrono::steady_clock;

struct Timing {
    double best = 0;   // microseconds per frame
    double median = 0;
};

Timing timeFrames(int rate, int frames) {
    bench_scene::FullBattle battle(rate / 100.0);
    int n = 0;
    auto frame = [&] {
        battle.pointAt(n++ & 1);
        battle.game.battle.printBattle(&battle.game, false);
        drawRecordedFrame();
    };
    auto warmUp = Clock::now();
    while (std::chrono::duration<double>(Clock::now() - warmUp).count() < WARM_UP_SECONDS) frame();
    std::vector<double> batches;
    for (int b = 0; b < BATCHES; ++b) {
        auto start = Clock::now();
        for (int i = 0; i < frames; ++i) frame();
        batches.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count() / frames);
    }
    reclaimMatchObjects();
    std::sort(batches.begin(), batches.end());
    return {batches.front(), batches[batches.size() / 2]};
}

} // namespace

int main(int argc, char** argv) {
    int frames = argc > 1 ? std::atoi(argv[1]) : 50;
    if (frames <= 0) {
        std::fprintf(stderr, "usage: bench_frame_loop [frames per batch, above 0]\n");
        return 2;
    }
    for (int rate : {100, 75, 50}) {
        Timing t = timeFrames(rate, frames);
        std::printf("BattleFrameFromNothing/%-3d  best %8.0f us  median %8.0f us  (%s, %d batches of %d frames)\n", rate,
                    t.best, t.median, bench_scene::bakedPictures() ? "baked pictures" : "solid test pictures", BATCHES,
                    frames);
    }
    return 0;
}
