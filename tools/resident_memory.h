// The process's resident memory as Linux reports it, for the arena and the match benchmark, which
// show that simulated positions do not pile up.
#pragma once

#include <fstream>
#include <string>

// In KiB; -1 where /proc is not there to ask.
inline long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}
