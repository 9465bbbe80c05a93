// The literal rewriting for compilers that know no GBK: which literals it rewrites, how, and that
// everything else (comments, header names, other encodings, line numbers) stays as written.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "gbk_literals.h"

namespace {

// Source text is UTF-8, whatever character set this test's own literals are compiled to.
std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

struct Case {
    const char* what;
    const char8_t* source;
    const char8_t* rewritten;
};

long lines(const std::string& s) { return std::count(s.begin(), s.end(), '\n'); }

void expectRewrites(const Case* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        std::string out = gbk_literals::rewrite(utf8(cases[i].source));
        EXPECT_EQ(out, utf8(cases[i].rewritten)) << cases[i].what;
        EXPECT_EQ(lines(out), lines(utf8(cases[i].source))) << cases[i].what << ": the lines moved";
    }
}

TEST(RewriteLiterals, OrdinaryLiteralsBecomeGbkEscapes) {
    const Case cases[] = {
        {"a string", u8R"x(f("中");)x", u8R"x(f("\xD6\xD0");)x"},
        {"ASCII around it", u8R"x("x中y")x", u8R"x("x\xD6\xD0y")x"},
        {"a hex digit after it: written as an octal escape", u8R"x("中a1" "中")x", u8R"x("\xD6\xD0\1411" "\xD6\xD0")x"},
        {"a character", u8R"x('中')x", u8R"x('\xD6\xD0')x"},
        {"a hex digit after it in a character: escaped too", u8R"x('中a')x", u8R"x('\xD6\xD0\x61')x"},
        {"a character GBK writes in one byte", u8R"x("€")x", u8R"x("\x80")x"},
        {"escapes kept as written", u8R"x("\n\t\\\"\101\x7f中")x", u8R"x("\n\t\\\"\101\x7f\xD6\xD0")x"},
        {"universal character names", u8R"x("\u4E2D\U00004E2D\u0041")x", u8R"x("\xD6\xD0\xD6\xD0\x41")x"},
        {"a user-defined suffix", u8R"x("中"_s; "中1"_s;)x", u8R"x("\xD6\xD0"_s; "\xD6\xD0\061"_s;)x"},
        {"identifiers that end like prefixes", u8R"x(fooR"中" xu8"中")x", u8R"x(fooR"\xD6\xD0" xu8"\xD6\xD0")x"},
        {"joined to an ordinary literal", u8"\"a\"\n  \"中\"", u8"\"a\"\n  \"\\xD6\\xD0\""},
        {"a directive ends the joining", u8"#define A \"中\"\nL\"x\"", u8"#define A \"\\xD6\\xD0\"\nL\"x\""},
        {"after a digit separator", u8R"x(1'000 + '中' + 0x1'F)x", u8R"x(1'000 + '\xD6\xD0' + 0x1'F)x"},
    };
    expectRewrites(cases, std::size(cases));
}

TEST(RewriteLiterals, RawLiteralsBecomeOrdinaryOnesOnOneLine) {
    const Case cases[] = {
        {"quote and backslash escaped", u8R"x(R"(中"\)")x", u8R"x("\xD6\xD0\"\\")x"},
        {"a delimiter", u8R"x(R"xy(a)"中)xy")x", u8R"x("a)\"\xD6\xD0")x"},
        {"a line break: kept by a splice after it", u8"R\"(中\nb)\";", u8"\"\\xD6\\xD0\\nb\"\\\n;"},
        {"a splice inside is text", u8"R\"(中\\\nb)\"", u8"\"\\xD6\\xD0\\\\\\nb\"\\\n"},
        {"line ends written CR LF", u8"R\"(中\r\nb)\"", u8"\"\\xD6\\xD0\\nb\"\\\n"},
    };
    expectRewrites(cases, std::size(cases));
}

TEST(RewriteLiterals, SplicedLinesAreJoinedAsTheCompilerJoinsThem) {
    const Case cases[] = {
        {"a literal split by a splice", u8"\"中\\\nA\";", u8"\"\\xD6\\xD0\\101\"\\\n;"},
        {"a splice with blanks before its newline", u8"\"中\\  \nx\"", u8"\"\\xD6\\xD0x\"\\\n"},
        {"a prefix split by a splice", u8"u\\\n8\"中\"", u8"u\\\n8\"中\""},
        {"a line comment continued by a splice", u8"// 中 \\\n \"中\"", u8"// 中 \\\n \"中\""},
    };
    expectRewrites(cases, std::size(cases));
}

TEST(RewriteLiterals, LeavesWhatIsNoOrdinaryLiteral) {
    const Case cases[] = {
        {"ASCII only", u8R"x("a\x41\n" 'b' R"(c)")x", u8R"x("a\x41\n" 'b' R"(c)")x"},
        {"other encodings", u8R"x(a(u8"中"); b(u"中"); c(U'中'); d(L"中"); e(u8R"(中)"); f(LR"(中)");)x",
         u8R"x(a(u8"中"); b(u"中"); c(U'中'); d(L"中"); e(u8R"(中)"); f(LR"(中)");)x"},
        {"joined to a literal with an encoding", u8R"x(u8"a" "中"; "中" /*c*/ L"b";)x",
         u8R"x(u8"a" "中"; "中" /*c*/ L"b";)x"},
        {"comments", u8"// \"中\"\n/* '中 */ \"中\"", u8"// \"中\"\n/* '中 */ \"\\xD6\\xD0\""},
        {"header names", u8"#include \"中.h\"\n#include <中>\n# include_next \"中\"",
         u8"#include \"中.h\"\n#include <中>\n# include_next \"中\""},
        {"diagnostics, pragmas and line markers", u8"#error don't \"中\"\n# 12 \"中.cpp\" 2\n#line 3 \"中\"\n#pragma message(\"中\")\n\"中\"",
         u8"#error don't \"中\"\n# 12 \"中.cpp\" 2\n#line 3 \"中\"\n#pragma message(\"中\")\n\"\\xD6\\xD0\""},
        {"a line marker between joined literals", u8"u8\"a\"\n# 30 \"x.h\"\n\"中\"", u8"u8\"a\"\n# 30 \"x.h\"\n\"中\""},
        {"an unterminated literal, to the end of its line", u8"'中 \"中\"\n\"中\"", u8"'中 \"中\"\n\"\\xD6\\xD0\""},
        {"identifiers", u8"int 中 = 1;", u8"int 中 = 1;"},
    };
    expectRewrites(cases, std::size(cases));
}

TEST(RewriteLiterals, RefusesWhatGbkCannotHoldWithItsLine) {
    struct Refused {
        const char* what;
        std::string source;
        int line;
        const char* says;
    };
    const Refused cases[] = {
        {"a character GBK lacks", utf8(u8"\"ok\";\n\"한\";"), 2, "U+D55C"},
        {"a universal character name GBK lacks", "x;\n\"\\uD55C\"", 2, "U+D55C"},
        {"bytes that are no UTF-8", "\n\n\"\xFF\"", 3, "no UTF-8"},
        {"a raw literal, at its first line", utf8(u8"R\"(\n한)\""), 1, "U+D55C"},
    };
    for (const Refused& c : cases) {
        try {
            gbk_literals::rewrite(c.source);
            ADD_FAILURE() << c.what << ": not refused";
        } catch (const gbk_literals::Error& e) {
            EXPECT_EQ(e.line, c.line) << c.what;
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << c.what << ": " << e.what();
        }
    }
    // (Not written inside the assertion: the text it makes of its arguments is converted to GBK.)
    std::string typed = utf8(u8"u8\"한\"");
    EXPECT_EQ(gbk_literals::rewrite(typed), typed) << "UTF-8 holds it";
}

} // namespace
