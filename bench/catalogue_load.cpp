// Loading the whole picture catalogue (decode, flatten, resample, keyed runs) at the three window
// scales, as the launcher does once before the window opens.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <system_error>

#include "game/game.h"
#include "render/assets.h"

namespace {

// The catalogue is read relative to the working directory; the benchmark also runs from its own
// folder inside the build folder, where asset/ is one level up.
bool findAssets() {
    namespace fs = std::filesystem;
    if (fs::exists("asset/size.ini")) return true;
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return false;
    for (fs::path dir = exe.parent_path(); !dir.empty() && dir != dir.root_path(); dir = dir.parent_path())
        if (fs::exists(dir / "asset" / "size.ini")) {
            fs::current_path(dir, ec);
            return !ec;
        }
    return false;
}

void LoadCatalogue(benchmark::State& state) {
    if (!findAssets()) {
        state.SkipWithError("no asset/size.ini in the working directory or above the benchmark");
        return;
    }
    double rate = state.range(0) / 100.0;
    size_t pictures = 0;
    for (auto _ : state) {
        Game game;
        game.rate = rate;
        game.loadAssets();
        pictures = game.pmap.size();
        benchmark::DoNotOptimize(pictures);
    }
    state.counters["pictures"] = (double)pictures;
}
// The argument is the window scale in percent.
BENCHMARK(LoadCatalogue)->Arg(100)->Arg(75)->Arg(50)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
