// File access on Linux: what a path is, whole-file reads and writes, the program's own path.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/platform.h"

namespace platform {
namespace {

PathKind kindOf(const struct stat& st) {
    if (S_ISREG(st.st_mode)) return PathKind::REGULAR;
    if (S_ISDIR(st.st_mode)) return PathKind::DIRECTORY;
    return PathKind::OTHER;
}

// Why a path that is not a regular file cannot be read as one.
const char* notRegular(PathKind kind) {
    return kind == PathKind::DIRECTORY ? "it is a directory" : "it is not a regular file";
}

// Closes the descriptor on every way out of a read or write.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) close(fd);
    }
};

} // namespace

PathKind pathKind(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return PathKind::MISSING;
    return kindOf(st);
}

bool readFile(const std::string& path, size_t maxBytes, std::string& bytes, std::string& error) {
    bytes.clear();
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (kindOf(st) != PathKind::REGULAR) {
        error = notRegular(kindOf(st));
        return false;
    }
    // Non-blocking, and checked again once open, in case the path was swapped for a FIFO meanwhile.
    Descriptor file{open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0 || fstat(file.fd, &st) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (kindOf(st) != PathKind::REGULAR) {
        error = notRegular(kindOf(st));
        return false;
    }
    if ((unsigned long long)st.st_size > maxBytes) {
        error = "it is larger than " + byteCount(maxBytes);
        return false;
    }
    bytes.resize((size_t)st.st_size);
    size_t got = 0;
    while (got < bytes.size()) {
        ssize_t n = read(file.fd, &bytes[got], bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = std::strerror(errno);
            bytes.clear();
            return false;
        }
        if (n == 0) break; // the file shrank meanwhile: keep what is there
        got += (size_t)n;
    }
    bytes.resize(got);
    return true;
}

bool writeFile(const std::string& path, const std::string& bytes, std::string& error) {
    Descriptor file{open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)};
    if (file.fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    for (size_t done = 0; done < bytes.size();) {
        ssize_t n = write(file.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = std::strerror(errno);
            return false;
        }
        done += (size_t)n;
    }
    if (close(file.fd) != 0) {
        file.fd = -1;
        error = std::strerror(errno);
        return false;
    }
    file.fd = -1;
    return true;
}

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

std::string workingFolder() {
    std::string path(256, '\0');
    while (!getcwd(path.data(), path.size())) {
        if (errno != ERANGE) return "";
        path.resize(path.size() * 2);
    }
    path.resize(std::strlen(path.c_str()));
    return path;
}

// A path's narrow string is the file name's bytes here.
std::filesystem::path pathOf(const std::string& utf8) { return std::filesystem::path(utf8); }

std::string utf8Of(const std::filesystem::path& path) { return path.string(); }

std::string fullPath(const std::string& utf8) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(utf8, error);
    return error ? utf8 : absolute.lexically_normal().string();
}

} // namespace platform
