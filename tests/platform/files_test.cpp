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
using testing_support::TempWorkDir;

// A UTF-8 name, whatever character set the test's own text is compiled to.
std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(PathKind, TellsFilesFoldersAndNothing) {
    TempWorkDir dir;
    dir.write("file.txt", "x");
    fs::create_directories("folder");
    struct Case {
        std::string path;
        platform::PathKind kind;
    };
    const Case cases[] = {
        {"file.txt", platform::PathKind::REGULAR},
        {"folder", platform::PathKind::DIRECTORY},
        {"./folder/", platform::PathKind::DIRECTORY},
        {"missing.txt", platform::PathKind::MISSING},
        {"folder/missing/deeper.txt", platform::PathKind::MISSING},
    };
    for (const Case& c : cases) EXPECT_EQ(platform::pathKind(c.path), c.kind) << c.path;
}

TEST(ReadFile, GivesEveryByteAsWritten) {
    TempWorkDir dir;
    // Line ends, a zero byte and bytes above 127 come back untouched: no text mode anywhere.
    const std::string bytes("one\r\ntwo\nthree\r\0four\x1a\xff\x80" "end", 25);
    std::string error;
    ASSERT_TRUE(platform::writeFile("bytes.bin", bytes, error)) << error;
    EXPECT_EQ(contentOf("bytes.bin"), bytes);
    std::string read;
    ASSERT_TRUE(platform::readFile("bytes.bin", 1024, read, error)) << error;
    EXPECT_EQ(read, bytes);
}

TEST(ReadFile, RefusesWhatItMustNotRead) {
    TempWorkDir dir;
    dir.write("big.bin", std::string(2000, 'b'));
    dir.write("exact.bin", std::string(1000, 'e'));
    fs::create_directories("folder");
    struct Case {
        const char* path;
        bool reads;
        const char* reason; // part of the error
    };
    const Case cases[] = {
        {"exact.bin", true, ""},
        {"big.bin", false, "larger than 1000 bytes"},
        {"folder", false, "it is a directory"},
        {"missing.bin", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string bytes = "left over", error;
        EXPECT_EQ(platform::readFile(c.path, 1000, bytes, error), c.reads);
        if (c.reads) {
            EXPECT_EQ(bytes.size(), 1000u);
            continue;
        }
        EXPECT_TRUE(bytes.empty()) << "nothing of a refused file";
        EXPECT_FALSE(error.empty());
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
}

TEST(WriteFile, ReplacesTheWholeContent) {
    TempWorkDir dir;
    std::string error;
    ASSERT_TRUE(platform::writeFile("setting.ini", "2\n1\n and much more besides", error)) << error;
    ASSERT_TRUE(platform::writeFile("setting.ini", "0\n0\n", error)) << error;
    EXPECT_EQ(contentOf("setting.ini"), "0\n0\n") << "nothing of the longer file is left";
    ASSERT_TRUE(platform::writeFile("empty.ini", "", error)) << error;
    EXPECT_EQ(platform::pathKind("empty.ini"), platform::PathKind::REGULAR);
    EXPECT_EQ(fs::file_size("empty.ini"), 0u);
}

TEST(WriteFile, SaysWhyItCannot) {
    TempWorkDir dir;
    fs::create_directories("folder");
    for (const char* path : {"no/such/folder/file.txt", "folder"}) {
        SCOPED_TRACE(path);
        std::string error;
        EXPECT_FALSE(platform::writeFile(path, "x", error));
        EXPECT_FALSE(error.empty());
    }
    EXPECT_EQ(platform::pathKind("folder"), platform::PathKind::DIRECTORY) << "the folder is still a folder";
}

// Paths are UTF-8 on every system: a folder and a file named in Chinese are the ones the system
// itself sees under those names.
TEST(Paths, BeyondAsciiAreTheNamesTheSystemSees) {
    TempWorkDir dir;
    // Beyond GBK too: ï is not in it.
    const fs::path systemFolder(u8"卡牌 对战"), systemFile = systemFolder / fs::path(u8"设置ünï.ini");
    const std::string folder = utf8(u8"卡牌 对战"), file = folder + "/" + utf8(u8"设置ünï.ini");
    fs::create_directories(systemFolder);
    std::string error;
    ASSERT_TRUE(platform::writeFile(file, "content", error)) << error;
    EXPECT_EQ(contentOf(systemFile), "content");
    EXPECT_EQ(platform::pathKind(folder), platform::PathKind::DIRECTORY);
    EXPECT_EQ(platform::pathKind(file), platform::PathKind::REGULAR);
    std::string read;
    ASSERT_TRUE(platform::readFile(file, 100, read, error)) << error;
    EXPECT_EQ(read, "content");

    fs::current_path(systemFolder);
    EXPECT_TRUE(fs::equivalent(fs::path(reinterpret_cast<const char8_t*>(platform::workingFolder().c_str())),
                               fs::current_path()))
        << "the working folder in UTF-8";
}

// Folders are composed with std::filesystem: a name made into a path and back is the same UTF-8,
// and the folder it names is the one the system sees under that name.
TEST(Paths, ComposedWithTheFilesystemKeepTheirNames) {
    TempWorkDir dir;
    const std::string folder = utf8(u8"卡牌 对战ï");
    const fs::path asset = platform::pathOf(folder) / "asset";
    EXPECT_EQ(platform::utf8Of(platform::pathOf(folder)), folder);
    EXPECT_EQ(platform::utf8Of(asset.parent_path()), folder);
    EXPECT_EQ(platform::utf8Of(asset.filename()), "asset");
    fs::create_directories(asset);
    const fs::path asTheSystemNamesIt = fs::path(u8"卡牌 对战ï") / "asset";
    EXPECT_TRUE(fs::is_directory(asTheSystemNamesIt));
    EXPECT_EQ(platform::pathKind(platform::utf8Of(asset)), platform::PathKind::DIRECTORY);
}

TEST(ExecutablePath, NamesThisProgram) {
    fs::path exe(reinterpret_cast<const char8_t*>(platform::executablePath().c_str()));
    EXPECT_TRUE(exe.is_absolute()) << exe;
    EXPECT_EQ(exe.stem().string(), "test_platform");
    EXPECT_EQ(platform::pathKind(platform::executablePath()), platform::PathKind::REGULAR);
}

} // namespace
