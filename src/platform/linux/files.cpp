// The program's own file on Linux, as the kernel names it.
#include <unistd.h>

#include "platform/platform.h"

namespace platform {

std::string executablePath() {
    std::string path(256, '\0');
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0) return "";
        if ((size_t)n < path.size()) {
            path.resize((size_t)n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

} // namespace platform
