// Files where the system is POSIX (Linux, and the browser's file system): what a path is, an open
// file and the working folder. The program's own path is each system's (linux/, web/).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/system_files.h"

namespace platform {
namespace detail {
namespace {

PathKind kindOf(const struct stat& st) {
    if (S_ISREG(st.st_mode)) return PathKind::REGULAR;
    if (S_ISDIR(st.st_mode)) return PathKind::DIRECTORY;
    return PathKind::OTHER;
}

bool failed(std::string& error) {
    error = std::strerror(errno);
    return false;
}

// A read or a write, made again when a signal cut it short; -1 on failure.
template <typename Call> long long retried(Call call, std::string& error) {
    for (;;) {
        ssize_t n = call();
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        failed(error);
        return -1;
    }
}

} // namespace

PathKind statPath(const std::string& path, std::string& error) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        error = std::strerror(errno);
        return PathKind::MISSING;
    }
    return kindOf(st);
}

SystemFile::~SystemFile() {
    if (handle_ >= 0) ::close((int)handle_);
}

bool SystemFile::openToRead(const std::string& path, std::string& error) {
    handle_ = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return handle_ >= 0 || failed(error);
}

bool SystemFile::openToWrite(const std::string& path, std::string& error) {
    handle_ = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return handle_ >= 0 || failed(error);
}

PathKind SystemFile::kind() const {
    struct stat st;
    return fstat((int)handle_, &st) == 0 ? kindOf(st) : PathKind::OTHER;
}

bool SystemFile::size(unsigned long long& bytes, std::string& error) const {
    struct stat st;
    if (fstat((int)handle_, &st) != 0) return failed(error);
    bytes = (unsigned long long)st.st_size;
    return true;
}

long long SystemFile::read(char* into, size_t n, std::string& error) {
    return retried([&] { return ::read((int)handle_, into, n); }, error);
}

long long SystemFile::write(const char* from, size_t n, std::string& error) {
    return retried([&] { return ::write((int)handle_, from, n); }, error);
}

bool SystemFile::close(std::string& error) {
    int fd = (int)handle_;
    handle_ = -1;
    return ::close(fd) == 0 || failed(error);
}

} // namespace detail

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
