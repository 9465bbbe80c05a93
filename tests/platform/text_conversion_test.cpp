// Game text (GBK) to UTF-8 and back, whichever system converts it: the same answers everywhere,
// with U+FFFD for bytes that are no GBK and '?' for characters GBK does not have (never a
// look-alike in their place).
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"

namespace {

// UTF-8, whatever character set the test's own text is compiled to.
std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

struct Conversion {
    const char* what;
    std::string gbk, utf8;
};

TEST(TextConversion, GameTextIsTheSameBothWays) {
    const Conversion cases[] = {
        {"nothing", "", ""},
        {"ASCII", "Fail to find picture id=b_adv 1", "Fail to find picture id=b_adv 1"},
        {"Chinese", "\xB8\xA1\xD3\xCE\xB3\xC7\xD6\xFE", utf8(u8"浮游城筑")},
        {"mixed", "A\xB0\xA1" "B", utf8(u8"A啊B")},
        {"full-width punctuation", "\xA3\xAC\xA1\xA3\xA1\xBF", utf8(u8"，。】")},
        {"the euro sign, a single byte", "\x80", utf8(u8"€")},
        {"a letter GBK has", "\xA8\xB9", utf8(u8"ü")},
    };
    for (const Conversion& c : cases) {
        EXPECT_EQ(platform::gbkToUtf8(c.gbk), c.utf8) << c.what;
        EXPECT_EQ(platform::utf8ToGbk(c.utf8), c.gbk) << c.what;
    }
}

TEST(GbkToUtf8, MarksWhatIsNoGbk) {
    const Conversion cases[] = {
        {"a lead byte at the end", "ok\xB0", utf8(u8"ok\uFFFD")},
        {"a lead byte before ASCII", "\xB0 x", utf8(u8"\uFFFD x")},
        {"a byte no character starts with", "a\xFF" "b", utf8(u8"a\uFFFDb")},
    };
    for (const Conversion& c : cases) EXPECT_EQ(platform::gbkToUtf8(c.gbk), c.utf8) << c.what;
}

TEST(Utf8ToGbk, MarksWhatGbkLacks) {
    const Conversion cases[] = {
        {"a letter GBK lacks, not its look-alike", "na?ve", utf8(u8"naïve")},
        {"Hangul", "?", utf8(u8"한")},
        {"beyond the first plane", "x?y", utf8(u8"x😀y")},
        {"a byte no UTF-8 character starts with", "a?b", "a\xFF" "b"},
        {"a character cut short before ASCII", "a?(b", "a\xC3(b"},
    };
    for (const Conversion& c : cases) EXPECT_EQ(platform::utf8ToGbk(c.utf8), c.gbk) << c.what;
}

} // namespace
