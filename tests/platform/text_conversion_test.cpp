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
    std::string from;
    std::string to;
};

TEST(GbkToUtf8, ConvertsGameTextAndMarksWhatIsNoGbk) {
    const Conversion cases[] = {
        {"nothing", "", ""},
        {"ASCII", "Fail to find picture id=b_adv 1", "Fail to find picture id=b_adv 1"},
        {"Chinese", "\xB8\xA1\xD3\xCE\xB3\xC7", utf8(u8"浮游城")},
        {"mixed", "A\xB0\xA1" "B", utf8(u8"A啊B")},
        {"full-width punctuation", "\xA3\xAC\xA1\xA3\xA1\xBF", utf8(u8"，。】")},
        {"the single byte 0x80", "\x80", utf8(u8"€")},
        {"a lead byte at the end", "ok\xB0", utf8(u8"ok\uFFFD")},
        {"a lead byte before ASCII", "\xB0 x", utf8(u8"\uFFFD x")},
        {"a byte no character starts with", "a\xFF" "b", utf8(u8"a\uFFFDb")},
    };
    for (const Conversion& c : cases) EXPECT_EQ(platform::gbkToUtf8(c.from), c.to) << c.what;
}

TEST(Utf8ToGbk, ConvertsTypedTextAndMarksWhatGbkLacks) {
    const Conversion cases[] = {
        {"nothing", "", ""},
        {"ASCII", "setting.ini", "setting.ini"},
        {"Chinese", utf8(u8"浮游城"), "\xB8\xA1\xD3\xCE\xB3\xC7"},
        {"the euro sign", utf8(u8"€"), "\x80"},
        {"a letter GBK has", utf8(u8"ü"), "\xA8\xB9"},
        {"a letter GBK lacks, not its look-alike", utf8(u8"naïve"), "na?ve"},
        {"Hangul", utf8(u8"한"), "?"},
        {"beyond the first plane", utf8(u8"x😀y"), "x?y"},
        {"a byte no UTF-8 character starts with", "a\xFF" "b", "a?b"},
        {"a character cut short before ASCII", "a\xC3(b", "a?(b"},
    };
    for (const Conversion& c : cases) EXPECT_EQ(platform::utf8ToGbk(c.from), c.to) << c.what;
}

// Every GBK character of the game's text comes back as it went.
TEST(GbkRoundTrip, EveryTwoByteCharacterOfTheCommonRowsComesBack) {
    int characters = 0;
    for (int lead = 0xB0; lead <= 0xD6; ++lead)
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            std::string gbk{(char)lead, (char)trail};
            std::string back = platform::utf8ToGbk(platform::gbkToUtf8(gbk));
            ASSERT_EQ(back, gbk) << std::hex << lead << " " << trail;
            ++characters;
        }
    EXPECT_EQ(characters, 39 * 94);
}

} // namespace
