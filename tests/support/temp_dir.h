// A temporary working directory for a test: created empty, entered, and left and removed at the end.
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

class TempWorkDir {
public:
    TempWorkDir();
    ~TempWorkDir();
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;

    const std::filesystem::path& path() const { return dir; }
    // Writes a text file relative to the directory.
    void write(const std::string& name, const std::string& content) const;

private:
    std::filesystem::path dir;
    std::filesystem::path previous;
};

} // namespace testing_support
