// What each system provides for files (posix/, windows/): what a path is, and an open file's
// handle. The reading rules every system shares (regular files only, the size cap, the messages)
// are in files.cpp, above these. Internal to the platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace platform::detail {

// What is at `path`, links followed, found without opening it; when MISSING, `error` says why
// ("No such file or directory", ...).
PathKind statPath(const std::string& path, std::string& error);

// An open file of the system's own, closed when it goes. On failure each call says why in `error`,
// in the words the system uses for the cause.
class SystemFile {
public:
    SystemFile() = default;
    ~SystemFile();
    SystemFile(const SystemFile&) = delete;
    SystemFile& operator=(const SystemFile&) = delete;

    // For reading, never waiting on the way (a FIFO or a device opens without blocking).
    bool openToRead(const std::string& path, std::string& error);
    // Created, or emptied when it is there.
    bool openToWrite(const std::string& path, std::string& error);
    // What the open file is; OTHER when the system cannot tell.
    PathKind kind() const;
    bool size(unsigned long long& bytes, std::string& error) const;
    // At most n bytes; the number read (0 at the end), or -1.
    long long read(char* into, size_t n, std::string& error);
    // At most n bytes; the number written, or -1.
    long long write(const char* from, size_t n, std::string& error);
    // Closes it, with whatever the system reports on closing (a full disk, say).
    bool close(std::string& error);

private:
    intptr_t handle_ = -1; // a descriptor or a HANDLE; -1 when none (as INVALID_HANDLE_VALUE is)
};

} // namespace platform::detail
