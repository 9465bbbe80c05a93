// The yardstick of the frame benchmarks: one memcpy of the 1512 x 1024 frame, registered in each
// benchmark program so that it is measured in the same run as what it is compared with.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

inline void FrameMemcpy(benchmark::State& state) {
    std::vector<uint32_t> a(1512 * 1024, 1), b(1512 * 1024, 2);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), a.size() * 4);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(FrameMemcpy)->Unit(benchmark::kMicrosecond);
