// Files on Windows: what a path is, an open file, the program's own path and the working folder.
// Paths are UTF-8 here as on Linux, and wide strings for Windows, so that any folder name works.
#include "platform/system_files.h"

#include <windows.h>

#include <algorithm>

namespace platform {
namespace {

std::wstring wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    std::wstring out(utf8.size(), L'\0');
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), out.data(), (int)out.size());
    out.resize((size_t)(n > 0 ? n : 0));
    return out;
}

std::string utf8(const wchar_t* text, size_t length) {
    if (length == 0) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text, (int)length, nullptr, 0, nullptr, nullptr);
    std::string out((size_t)(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text, (int)length, out.data(), n, nullptr, nullptr);
    return out;
}

// Why a call failed, in the words the Linux build uses for the same causes.
std::string lastError() {
    DWORD code = GetLastError();
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return "No such file or directory";
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return "Permission denied";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "No space left on device";
    default: return "Windows error " + std::to_string(code);
    }
}

// Closes the handle on every way out of a read or write.
struct Handle {
    explicit Handle(HANDLE handle) : h(handle) {}
    HANDLE h;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
};

constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// An open file, a folder (which only opens with backup semantics) or a device is told apart by
// its handle. Links are followed, as opening follows them.
PathKind kindOf(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info)) return PathKind::OTHER;
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::DIRECTORY : PathKind::REGULAR;
}

bool failed(std::string& error) {
    error = lastError();
    return false;
}

HANDLE handleOf(intptr_t handle) { return (HANDLE)handle; }

} // namespace

namespace detail {

PathKind statPath(const std::string& path, std::string& error) {
    // Opened for no access at all: that reads nothing and waits for nothing, whatever the path is.
    Handle file{CreateFileW(wide(path).c_str(), 0, SHARE_ALL, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                            nullptr)};
    if (file.h != INVALID_HANDLE_VALUE) return kindOf(file.h);
    DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = "No such file or directory";
        return PathKind::MISSING;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::DIRECTORY : PathKind::OTHER;
}

SystemFile::~SystemFile() {
    if (handleOf(handle_) != INVALID_HANDLE_VALUE) CloseHandle(handleOf(handle_));
}

bool SystemFile::openToRead(const std::string& path, std::string& error) {
    handle_ = (intptr_t)CreateFileW(wide(path).c_str(), GENERIC_READ, SHARE_ALL, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    return handleOf(handle_) != INVALID_HANDLE_VALUE || failed(error);
}

bool SystemFile::openToWrite(const std::string& path, std::string& error) {
    handle_ = (intptr_t)CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    return handleOf(handle_) != INVALID_HANDLE_VALUE || failed(error);
}

PathKind SystemFile::kind() const { return kindOf(handleOf(handle_)); }

bool SystemFile::size(unsigned long long& bytes, std::string& error) const {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handleOf(handle_), &size)) return failed(error);
    bytes = (unsigned long long)size.QuadPart;
    return true;
}

long long SystemFile::read(char* into, size_t n, std::string& error) {
    DWORD got = 0;
    if (ReadFile(handleOf(handle_), into, (DWORD)std::min<size_t>(n, 1u << 30), &got, nullptr)) return got;
    failed(error);
    return -1;
}

long long SystemFile::write(const char* from, size_t n, std::string& error) {
    DWORD put = 0;
    if (WriteFile(handleOf(handle_), from, (DWORD)std::min<size_t>(n, 1u << 30), &put, nullptr)) return put;
    failed(error);
    return -1;
}

bool SystemFile::close(std::string& error) {
    HANDLE h = handleOf(handle_);
    handle_ = (intptr_t)INVALID_HANDLE_VALUE;
    return CloseHandle(h) || failed(error);
}

} // namespace detail

std::string executablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), (DWORD)path.size());
        if (n == 0) return "";
        if (n < path.size()) return utf8(path.data(), n);
        path.resize(path.size() * 2); // cut short: ask again with room
    }
}

std::string workingFolder() {
    DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return "";
    std::wstring path(n, L'\0');
    n = GetCurrentDirectoryW(n, path.data());
    return n == 0 || n >= path.size() ? "" : utf8(path.data(), n);
}

std::filesystem::path pathOf(const std::string& utf8) { return std::filesystem::path(wide(utf8)); }

std::string utf8Of(const std::filesystem::path& path) {
    const std::wstring& w = path.native();
    return utf8(w.data(), w.size());
}

// Windows' own resolution: drive letters, the working folder of each drive and network shares.
std::string fullPath(const std::string& path) {
    std::wstring w = wide(path);
    DWORD n = w.empty() ? 0 : GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(w.c_str(), n, full.data(), nullptr);
    return n == 0 || n >= full.size() ? path : utf8(full.data(), n);
}

} // namespace platform
