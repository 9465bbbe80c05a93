// Edge coverage for afl-fuzz from GCC's own instrumentation. Code built with
// -fsanitize-coverage=trace-pc calls this at the start of every basic block; it counts the edge
// from the previous block in the map that AFL++'s runtime (afl-compiler-rt.o, which also runs the
// fork server and the persistent loop) shares with afl-fuzz, as AFL's classic instrumentation does.
// This file itself must not be built with that flag.
#include <cstdint>

extern "C" {
extern uint8_t* __afl_area_ptr; // the shared map (a dummy until afl-fuzz hands one over)
extern char __executable_start; // so that block numbers do not change with where the program is loaded
}

namespace {
thread_local uintptr_t previous;
} // namespace

extern "C" __attribute__((no_sanitize_address)) void __sanitizer_cov_trace_pc() {
    auto pc = (uint32_t)((uintptr_t)__builtin_return_address(0) - (uintptr_t)&__executable_start);
    uintptr_t block = (uint32_t)(pc * 0x9E3779B1u) >> 16; // Fibonacci hashing: the top 16 bits
    uint8_t& hits = __afl_area_ptr[block ^ previous];
    hits = (uint8_t)(hits + 1) ? (uint8_t)(hits + 1) : 1; // never back to 0: the edge stays seen
    previous = block >> 1;
}
