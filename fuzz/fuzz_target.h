// What every fuzz target shares: the entry point, a reader that turns the fuzzer's bytes into
// choices, checks that end the run, and a scratch folder for targets that read files.
//
// FUZZ_TARGET(name) { ... } defines one target. Built for afl-fuzz (CARDBATTLE_FUZZ_ENTRY) it is
// the program's LLVMFuzzerTestOneInput; otherwise it is registered by name with the corpus replay
// (replay_main.cpp), which links every target into one program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzing {

using Entry = int (*)(const uint8_t* data, size_t size);
bool registerTarget(const char* name, Entry entry);

// Ends the run with the message when a check fails, as a crash would, so that the fuzzer keeps the
// input and the replay test fails.
[[noreturn]] void checkFailed(const char* condition, const char* file, int line, const std::string& detail);

// Consumes the input front to back; past its end every read gives zeros and empty strings, so a
// target never has to test the length itself.
class Input {
public:
    Input(const uint8_t* data, size_t size) : at(data), left(size) {}
    bool empty() const { return left == 0; }
    size_t remaining() const { return left; }
    uint8_t byte();
    // A value from lo to hi (inclusive) taken from one byte: 256 or fewer choices.
    int pick(int lo, int hi);
    int16_t int16();
    int32_t int32();
    int64_t int64();
    double real(); // any bit pattern: infinities and NaN included
    // Up to n bytes (fewer at the end of the input).
    std::string bytes(size_t n);
    std::string rest();

private:
    const uint8_t* at;
    size_t left;
};

// A folder of the running process's own in the system's temporary folder ($TMPDIR or /tmp on
// Linux), made at first use and removed at exit. Targets rewrite what they use in it for every input.
const std::string& scratchFolder();
// Replaces the file's content (creating it), or removes it when `present` is false.
void putFile(const std::string& path, const std::string& bytes, bool present = true);

} // namespace fuzzing

#define FUZZ_CHECK(condition, detail)                                                                        \
    ((condition) ? (void)0 : fuzzing::checkFailed(#condition, __FILE__, __LINE__, (detail)))

#ifdef CARDBATTLE_FUZZ_ENTRY
#define FUZZ_TARGET(name)                                                                                    \
    static int fuzz_##name(const uint8_t*, size_t);                                                          \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return fuzz_##name(data, size); } \
    static int fuzz_##name(const uint8_t* data, size_t size)
// Work done once before the fuzzer starts forking (loading fonts, say), so that every child has it.
#define FUZZ_WARM_UP(function)                                                                               \
    extern "C" int LLVMFuzzerInitialize(int*, char***) {                                                     \
        function();                                                                                          \
        return 0;                                                                                            \
    }
#else
#define FUZZ_TARGET(name)                                                                                    \
    static int fuzz_##name(const uint8_t*, size_t);                                                          \
    [[maybe_unused]] static const bool fuzz_registered_##name = fuzzing::registerTarget(#name, fuzz_##name); \
    static int fuzz_##name(const uint8_t* data, size_t size)
// The replay runs few inputs: nothing to warm up.
#define FUZZ_WARM_UP(function) [[maybe_unused]] static void (*const fuzz_warm_up)() = function;
#endif
