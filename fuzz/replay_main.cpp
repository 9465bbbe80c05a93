// Replays inputs through a fuzz target: fuzz_replay TARGET PATH..., each PATH a file or a folder of
// them (in name order). The ctest tests run each target's seed corpus this way in every build, so
// an input that once crashed a target keeps being tried.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_target.h"

namespace fs = std::filesystem;

namespace {

std::map<std::string, fuzzing::Entry>& targets() {
    static std::map<std::string, fuzzing::Entry> all;
    return all;
}

std::vector<fs::path> inputsIn(const fs::path& path) {
    if (!fs::is_directory(path)) return {path};
    std::vector<fs::path> files;
    for (const fs::directory_entry& e : fs::directory_iterator(path))
        if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

int usage() {
    std::fprintf(stderr, "usage: fuzz_replay TARGET PATH...\ntargets:");
    for (const auto& [name, entry] : targets()) std::fprintf(stderr, " %s", name.c_str());
    std::fprintf(stderr, "\n");
    return 2;
}

} // namespace

bool fuzzing::registerTarget(const char* name, Entry entry) {
    targets()[name] = entry;
    return true;
}

int main(int argc, char** argv) {
    if (argc < 3 || !targets().count(argv[1])) return usage();
    fuzzing::Entry entry = targets()[argv[1]];
    int replayed = 0;
    for (int i = 2; i < argc; ++i) {
        if (!fs::exists(argv[i])) {
            std::fprintf(stderr, "fuzz_replay: %s does not exist\n", argv[i]);
            return 1;
        }
        for (const fs::path& file : inputsIn(argv[i])) {
            // Named before it runs, so that a crash says which input it was.
            std::fprintf(stderr, "fuzz_replay: %s\n", file.string().c_str());
            std::string bytes = contents(file);
            entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    if (replayed == 0) {
        std::fprintf(stderr, "fuzz_replay: no inputs found\n");
        return 1;
    }
    std::printf("fuzz_replay: %d inputs of %s ran\n", replayed, argv[1]);
    return 0;
}
