// Text conversion in the browser. Its C library decodes GBK but cannot encode it, so both ways go
// through a table made from the build machine's iconv (gbk_table.h): the same answers as on Linux.
#include <algorithm>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/utf8.h"
#include "platform/web/gbk_table.h"

namespace platform {
namespace {

using namespace web;

// The code point of a byte pair, or 0.
char32_t pairAt(unsigned char lead, unsigned char trail) {
    if (lead < GBK_FIRST_LEAD || lead >= GBK_FIRST_LEAD + GBK_LEADS) return 0;
    if (trail < GBK_FIRST_TRAIL || trail >= GBK_FIRST_TRAIL + GBK_TRAILS) return 0;
    return GBK_PAIRS[lead - GBK_FIRST_LEAD][trail - GBK_FIRST_TRAIL];
}

// Code point -> GBK bytes (one byte below 0x100, a pair as lead * 256 + trail), sorted by code
// point: the table read the other way, made at the first use.
const std::vector<std::pair<char32_t, uint16_t>>& encodings() {
    static const std::vector<std::pair<char32_t, uint16_t>> table = [] {
        std::vector<std::pair<char32_t, uint16_t>> t;
        for (int b = 0; b < 128; ++b)
            if (GBK_SINGLE[b]) t.emplace_back(GBK_SINGLE[b], (uint16_t)(0x80 + b));
        for (int lead = 0; lead < GBK_LEADS; ++lead)
            for (int trail = 0; trail < GBK_TRAILS; ++trail)
                if (GBK_PAIRS[lead][trail])
                    t.emplace_back(GBK_PAIRS[lead][trail], (uint16_t)((GBK_FIRST_LEAD + lead) * 256 + GBK_FIRST_TRAIL + trail));
        // Where two sequences give one character, the first in GBK order is the one written.
        std::stable_sort(t.begin(), t.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        return t;
    }();
    return table;
}

} // namespace

std::string gbkToUtf8(const std::string& gbk) {
    std::string out;
    out.reserve(gbk.size() * 3 / 2 + 4);
    for (size_t i = 0; i < gbk.size(); ++i) {
        unsigned char b = (unsigned char)gbk[i];
        char32_t c = b < 0x80 ? b : 0;
        if (b >= 0x80) c = GBK_SINGLE[b - 0x80];
        if (!c && i + 1 < gbk.size() && (c = pairAt(b, (unsigned char)gbk[i + 1]))) ++i;
        // Not a character: replaced, and the next byte is read afresh.
        appendUtf8(out, c || b == 0 ? c : REPLACEMENT_CHARACTER);
    }
    return out;
}

std::string utf8ToGbk(const std::string& utf8) {
    const auto& table = encodings();
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = nextUtf8(utf8, i);
        if (c < 0x80) {
            out += (char)c;
            continue;
        }
        auto it = std::lower_bound(table.begin(), table.end(), c, [](const auto& e, char32_t v) { return e.first < v; });
        if (it == table.end() || it->first != c) out += '?';
        else if (it->second < 0x100) out += (char)it->second;
        else out += {(char)(it->second >> 8), (char)(it->second & 0xFF)};
    }
    return out;
}

} // namespace platform
