#include "support/temp_dir.h"

#include <fstream>
#include <random>

namespace testing_support {

TempWorkDir::TempWorkDir() {
    std::random_device rd;
    previous = std::filesystem::current_path();
    dir = std::filesystem::temp_directory_path() / ("cardbattle-test-" + std::to_string(rd()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
}

TempWorkDir::~TempWorkDir() {
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
    std::filesystem::remove_all(dir, ignored);
}

void TempWorkDir::write(const std::string& name, const std::string& content) const {
    std::filesystem::create_directories((dir / name).parent_path());
    std::ofstream(dir / name, std::ios::binary) << content;
}

} // namespace testing_support
