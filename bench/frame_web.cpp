// The browser build's frame benchmark, run under Node (WebAssembly in V8, as in Chromium): the
// whole battle frame of bench/frame.cpp's BattleFrameFromNothing composed from nothing, at each
// window size, timed on the steady clock. scripts/bench_web.sh runs it beside the native one.
//
//   node bench_frame_web.js [frames]
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "full_battle.h"

namespace {

constexpr int WARM_UP_FRAMES = 5; // the text and the pictures' runs are prepared once

double microsecondsPerFrame(int rate, int frames) {
    bench_scene::FullBattle battle(rate / 100.0);
    auto frame = [&](int n) {
        battle.pointAt(n & 1);
        battle.game.battle.printBattle(&battle.game, false);
        drawRecordedFrame();
    };
    for (int n = 0; n < WARM_UP_FRAMES; ++n) frame(n);
    auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < frames; ++n) frame(n);
    std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    reclaimMatchObjects();
    return spent.count() / frames;
}

} // namespace

int main(int argc, char** argv) {
    int frames = argc > 1 ? std::atoi(argv[1]) : 100;
    if (frames <= 0) {
        std::fprintf(stderr, "usage: bench_frame_web [frames above 0]\n");
        return 2;
    }
    for (int rate : {100, 75, 50})
        std::printf("BattleFrameFromNothing/%d  %10.0f us  (%s, %d frames)\n", rate, microsecondsPerFrame(rate, frames),
                    bench_scene::bakedPictures() ? "baked pictures" : "solid test pictures", frames);
    return 0;
}
