// What showing a frame in a resized window costs: the letterboxed scaling of one frame into a
// window buffer, run at every frame presented while the window is stretched, beside one memcpy of
// the 1512 x 1024 frame measured in the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/letterbox.h"
#include "frame_memcpy.h"

namespace {

// Arguments: frame width and height, window width and height.
void LetterboxedFrame(benchmark::State& state) {
    platform::Point frame{(int)state.range(0), (int)state.range(1)};
    platform::Point window{(int)state.range(2), (int)state.range(3)};
    std::vector<uint32_t> pixels((size_t)frame.x * frame.y);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = (uint32_t)(i * 2654435761u) & 0xFFFFFF;
    std::vector<uint32_t> out((size_t)window.x * window.y);
    platform::LetterboxScaler scaler;
    for (auto _ : state) {
        scaler.draw(pixels.data(), frame, out.data(), window.x, window);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.counters["Mpixel/s"] =
        benchmark::Counter((double)window.x * window.y * state.iterations() / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(LetterboxedFrame)
    ->Args({1134, 768, 1134, 768})   // own size
    ->Args({756, 512, 1512, 1024})   // doubled
    ->Args({1134, 768, 1920, 1080})  // full screen
    ->Args({756, 512, 1920, 1080})   // full screen from the smallest frame
    ->Args({1512, 1024, 2560, 1440}) // full screen on a large desktop
    ->Args({1512, 1024, 1000, 700})  // shrunk
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
