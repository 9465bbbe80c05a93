#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "fuzz_target.h"
#include "platform/platform.h"

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
    if (!folder.empty()) std::filesystem::remove_all(platform::pathOf(folder), ignored);
}

} // namespace

const std::string& scratchFolder() {
    if (!folder.empty()) return folder;
    // A new folder of the process's own in the system's temporary one ($TMPDIR or /tmp on Linux).
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) checkFailed("temp_directory_path", __FILE__, __LINE__, error.message());
    std::random_device random;
    for (int attempt = 0; folder.empty(); ++attempt) {
        std::filesystem::path candidate = base / ("cardbattle-fuzz-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate, error)) {
            std::filesystem::permissions(candidate, std::filesystem::perms::owner_all, error);
            folder = platform::utf8Of(candidate);
        } else if (error || attempt == 100) {
            checkFailed("create_directory", __FILE__, __LINE__, platform::utf8Of(candidate) + ": " + error.message());
        }
    }
    std::atexit(removeScratch);
    return folder;
}

void putFile(const std::string& path, const std::string& bytes, bool present) {
    if (!present) {
        std::error_code ignored;
        std::filesystem::remove(platform::pathOf(path), ignored);
        return;
    }
    std::string error;
    if (!platform::writeFile(path, bytes, error)) checkFailed("putFile", __FILE__, __LINE__, "cannot write " + path + ": " + error);
}

} // namespace fuzzing
