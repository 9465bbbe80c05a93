// Whole-file reads and writes as every system has them: only regular files are read, never more
// than the caller allows, with the reason in words when it fails.
#include "platform/messages.h"
#include "platform/system_files.h"

namespace platform {
namespace {

// Why a path that is not a regular file cannot be read as one.
const char* notRegular(PathKind kind) {
    return kind == PathKind::DIRECTORY ? "it is a directory" : "it is not a regular file";
}

bool refuse(PathKind kind, std::string& error) {
    if (kind == PathKind::REGULAR) return false;
    error = notRegular(kind);
    return true;
}

bool readAll(detail::SystemFile& file, std::string& bytes, std::string& error) {
    size_t got = 0;
    while (got < bytes.size()) {
        long long n = file.read(&bytes[got], bytes.size() - got, error);
        if (n < 0) return false;
        if (n == 0) break; // the file shrank meanwhile: keep what is there
        got += (size_t)n;
    }
    bytes.resize(got);
    return true;
}

} // namespace

PathKind pathKind(const std::string& path) {
    std::string ignored;
    return detail::statPath(path, ignored);
}

bool readFile(const std::string& path, size_t maxBytes, std::string& bytes, std::string& error) {
    bytes.clear();
    PathKind kind = detail::statPath(path, error);
    if (kind == PathKind::MISSING || refuse(kind, error)) return false;
    detail::SystemFile file;
    unsigned long long size = 0;
    if (!file.openToRead(path, error)) return false;
    // Checked again once open, in case the path was swapped for a FIFO meanwhile.
    if (refuse(file.kind(), error) || !file.size(size, error)) return false;
    if (size > maxBytes) {
        error = "it is larger than " + byteCount(maxBytes);
        return false;
    }
    bytes.resize((size_t)size);
    if (readAll(file, bytes, error)) return true;
    bytes.clear();
    return false;
}

bool writeFile(const std::string& path, const std::string& bytes, std::string& error) {
    detail::SystemFile file;
    if (!file.openToWrite(path, error)) return false;
    for (size_t done = 0; done < bytes.size();) {
        long long n = file.write(bytes.data() + done, bytes.size() - done, error);
        if (n < 0) return false;
        done += (size_t)n;
    }
    return file.close(error);
}

} // namespace platform
