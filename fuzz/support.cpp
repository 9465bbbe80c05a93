#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "fuzz_target.h"

namespace fuzzing {

void checkFailed(const char* condition, const char* file, int line, const std::string& detail) {
    std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n  %s\n", condition, file, line, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

uint8_t Input::byte() {
    if (left == 0) return 0;
    --left;
    return *at++;
}

int Input::pick(int lo, int hi) { return lo + byte() % (hi - lo + 1); }

int16_t Input::int16() { return (int16_t)(byte() | byte() << 8); }

int32_t Input::int32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= (uint32_t)byte() << (8 * i);
    return (int32_t)v;
}

int64_t Input::int64() {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= (uint64_t)byte() << (8 * i);
    return (int64_t)v;
}

double Input::real() {
    uint64_t bits = (uint64_t)int64();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

std::string Input::bytes(size_t n) {
    n = n < left ? n : left;
    std::string s(reinterpret_cast<const char*>(at), n);
    at += n;
    left -= n;
    return s;
}

std::string Input::rest() { return bytes(left); }

namespace {

std::string folder;

void removeScratch() {
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
}

} // namespace

const std::string& scratchFolder() {
    if (!folder.empty()) return folder;
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/cardbattle-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) checkFailed("mkdtemp", __FILE__, __LINE__, pattern + ": " + std::strerror(errno));
    folder = pattern;
    std::atexit(removeScratch);
    return folder;
}

void putFile(const std::string& path, const std::string& bytes, bool present) {
    if (!present) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        return;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), (std::streamsize)bytes.size());
    if (!out) checkFailed("putFile", __FILE__, __LINE__, "cannot write " + path);
}

} // namespace fuzzing
