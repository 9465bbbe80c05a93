// The browser build's text: clang compiles the game's sources through the literal rewriting, and
// the program must see the GBK bytes GCC gives the desktop builds, including the text a macro
// makes of its argument. Run under Node, with the real file system.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

#define AS_TEXT(x) #x

TEST(WebLiterals, GameTextIsGbk) {
    EXPECT_EQ(std::string("浮游城"), "\xB8\xA1\xD3\xCE\xB3\xC7");
    EXPECT_EQ(sizeof("中"), 3u);
    EXPECT_EQ(std::string("\u4E2D"), "\xD6\xD0") << "a universal character name";
    EXPECT_EQ(std::string(R"(中")"), "\xD6\xD0\"") << "a raw literal";
    EXPECT_EQ(std::string("中" "A"), "\xD6\xD0" "A") << "a hex digit after the escapes";
    EXPECT_EQ(std::string(AS_TEXT("中")), "\"\xD6\xD0\"") << "the text of a macro argument";
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wmultichar"
    EXPECT_EQ('中', 0xD6D0) << "a character of two bytes";
#pragma clang diagnostic pop
}

TEST(WebLiterals, OtherEncodingsStayTheirOwn) {
    EXPECT_EQ(std::u8string(u8"中"), std::u8string(u8"\xE4\xB8\xAD"));
    EXPECT_EQ(std::u32string(U"中"), std::u32string(1, char32_t(0x4E2D)));
}

TEST(WebLiterals, DiagnosticsNameTheRealSource) {
    EXPECT_NE(std::string(__FILE__).find("tests/web/literals_test.cpp"), std::string::npos) << __FILE__;
    EXPECT_EQ(__LINE__, 34);
}

// Under Node the program sees the machine's files, as the desktop suites do.
TEST(WebLiterals, TestsReadRealFiles) {
    std::ifstream in(CARDBATTLE_SOURCE_DIR "/art/pictures.txt");
    ASSERT_TRUE(in) << "cannot open " CARDBATTLE_SOURCE_DIR "/art/pictures.txt";
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("b_adv"), std::string::npos);
}

} // namespace
