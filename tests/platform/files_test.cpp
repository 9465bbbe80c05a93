// File access through the platform, whichever system's it is: what a path is, whole files read and
// written byte for byte, names beyond ASCII, and the program's own path.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/platform.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::PathKind;
using testing_support::TempWorkDir;

// A UTF-8 name, whatever character set the test's own text is compiled to.
std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string contentOf(const fs::path& path) {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

TEST(ReadFile, ReadsRegularFilesUpToItsLimitAndNothingElse) {
    TempWorkDir dir;
    dir.write("big.bin", std::string(2000, 'b'));
    dir.write("exact.bin", std::string(1000, 'e'));
    fs::create_directories("folder");
    struct Case {
        const char* path;
        PathKind kind;
        const char* reason; // part of the error, null when it reads
    };
    const Case cases[] = {
        {"exact.bin", PathKind::REGULAR, nullptr},
        {"big.bin", PathKind::REGULAR, "larger than 1000 bytes"},
        {"folder", PathKind::DIRECTORY, "it is a directory"},
        {"./folder/", PathKind::DIRECTORY, "it is a directory"},
        {"missing.bin", PathKind::MISSING, ""},
        {"folder/missing/deeper.txt", PathKind::MISSING, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(platform::pathKind(c.path), c.kind);
        std::string bytes = "left over", error;
        EXPECT_EQ(platform::readFile(c.path, 1000, bytes, error), !c.reason);
        EXPECT_EQ(bytes.size(), c.reason ? 0u : 1000u) << "nothing of a refused file";
        if (c.reason) {
            EXPECT_TRUE(!error.empty() && error.find(c.reason) != std::string::npos) << error;
        }
    }
}

// Line ends, a zero byte and bytes above 127 come back untouched (no text mode anywhere), and
// nothing of a longer file written before is left.
TEST(WriteFile, ReplacesTheWholeContentByteForByte) {
    TempWorkDir dir;
    const std::string bytes("one\r\ntwo\nthree\r\0four\x1a\xff\x80" "end", 25);
    std::string error, read;
    ASSERT_TRUE(platform::writeFile("setting.ini", bytes + " and much more besides", error)) << error;
    ASSERT_TRUE(platform::writeFile("setting.ini", bytes, error)) << error;
    EXPECT_EQ(contentOf("setting.ini"), bytes);
    ASSERT_TRUE(platform::readFile("setting.ini", 1024, read, error)) << error;
    EXPECT_EQ(read, bytes);
    ASSERT_TRUE(platform::writeFile("empty.ini", "", error)) << error;
    EXPECT_EQ(platform::pathKind("empty.ini"), PathKind::REGULAR);
    EXPECT_EQ(fs::file_size("empty.ini"), 0u);
}

TEST(WriteFile, SaysWhyItCannot) {
    TempWorkDir dir;
    fs::create_directories("folder");
    for (const char* path : {"no/such/folder/file.txt", "folder"}) {
        std::string error;
        EXPECT_FALSE(platform::writeFile(path, "x", error)) << path;
        EXPECT_FALSE(error.empty()) << path;
    }
    EXPECT_EQ(platform::pathKind("folder"), PathKind::DIRECTORY) << "the folder is still a folder";
}

// Paths are UTF-8 on every system: a folder and a file named in Chinese (and ï, which GBK lacks)
// are the ones the system itself sees under those names, composed with std::filesystem or not.
TEST(Paths, BeyondAsciiAreTheNamesTheSystemSees) {
    TempWorkDir dir;
    const fs::path systemFolder(u8"卡牌 对战ï"), systemFile = systemFolder / fs::path(u8"设置ünï.ini");
    const std::string folder = utf8(u8"卡牌 对战ï"), file = folder + "/" + utf8(u8"设置ünï.ini");
    EXPECT_EQ(platform::utf8Of(systemFolder), folder);
    fs::create_directories(platform::pathOf(folder));
    EXPECT_TRUE(fs::is_directory(systemFolder));
    std::string error, read;
    ASSERT_TRUE(platform::writeFile(file, "content", error)) << error;
    EXPECT_EQ(contentOf(systemFile), "content");
    EXPECT_EQ(platform::pathKind(folder), PathKind::DIRECTORY);
    ASSERT_TRUE(platform::readFile(file, 100, read, error)) << error;
    EXPECT_EQ(read, "content");

    fs::current_path(systemFolder);
    EXPECT_TRUE(fs::equivalent(fs::path(reinterpret_cast<const char8_t*>(platform::workingFolder().c_str())),
                               fs::current_path()))
        << "the working folder in UTF-8";
}

TEST(ExecutablePath, NamesThisProgram) {
    fs::path exe(reinterpret_cast<const char8_t*>(platform::executablePath().c_str()));
    EXPECT_TRUE(exe.is_absolute()) << exe;
    EXPECT_EQ(exe.stem().string(), "test_platform");
    EXPECT_EQ(platform::pathKind(platform::executablePath()), PathKind::REGULAR);
}

} // namespace
