// Writes the GBK table of the browser build, whose C library can decode GBK but not encode it: the
// code point of every GBK byte and byte pair as this machine's iconv converts them, so that the
// browser converts game text exactly as the Linux build does.
//
//   gbk_table <table.cpp>
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "platform/utf8.h"
#include "platform/web/gbk_table.h"

namespace {

using namespace platform::web;

// The one code point a GBK sequence converts to, or 0 when it is not one whole character.
unsigned codePointOf(const std::string& gbk) {
    std::string utf8 = platform::gbkToUtf8(gbk);
    size_t i = 0;
    char32_t c = platform::nextUtf8(utf8, i);
    return i == utf8.size() && c != platform::REPLACEMENT_CHARACTER ? (unsigned)c : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gbk_table <table.cpp>\n");
        return 2;
    }
    std::ofstream out(argv[1]);
    out << "// Made by tools/gbk_table from the build machine's iconv: do not edit.\n"
           "#include \"platform/web/gbk_table.h\"\n\n"
           "namespace platform::web {\n\n"
           "const uint16_t GBK_SINGLE[128] = {";
    for (int b = 0x80; b <= 0xFF; ++b) out << (b % 16 ? "" : "\n    ") << codePointOf(std::string(1, (char)b)) << ",";
    out << "\n};\n\nconst uint16_t GBK_PAIRS[GBK_LEADS][GBK_TRAILS] = {\n";
    for (int lead = GBK_FIRST_LEAD; lead < GBK_FIRST_LEAD + GBK_LEADS; ++lead) {
        out << "    {";
        for (int trail = GBK_FIRST_TRAIL; trail < GBK_FIRST_TRAIL + GBK_TRAILS; ++trail)
            out << codePointOf(std::string{(char)lead, (char)trail}) << ",";
        out << "},\n";
    }
    out << "};\n\n} // namespace platform::web\n";
    out.close();
    if (!out) {
        std::fprintf(stderr, "gbk_table: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
