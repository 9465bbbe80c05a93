// UTF-8 by hand, for the places that have code points rather than a converter: the Windows text
// conversion (through UTF-16), the emulated terminal's cells, and text layout.
#pragma once

#include <string>

namespace platform {

constexpr char32_t REPLACEMENT_CHARACTER = 0xFFFD;

inline void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += (char)c;
    } else if (c < 0x800) {
        out += (char)(0xC0 | (c >> 6));
        out += (char)(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += (char)(0xE0 | (c >> 12));
        out += (char)(0x80 | ((c >> 6) & 0x3F));
        out += (char)(0x80 | (c & 0x3F));
    } else {
        out += (char)(0xF0 | (c >> 18));
        out += (char)(0x80 | ((c >> 12) & 0x3F));
        out += (char)(0x80 | ((c >> 6) & 0x3F));
        out += (char)(0x80 | (c & 0x3F));
    }
}

// One UTF-8 character from `s` at `i`: its code point, or REPLACEMENT_CHARACTER for a malformed one
// (an overlong form, a surrogate, beyond U+10FFFF, cut short). `i` moves past what was read; a
// malformed character is skipped with the continuation bytes that follow its first byte.
inline char32_t nextUtf8(const std::string& s, size_t& i) {
    unsigned char b = (unsigned char)s[i++];
    if (b < 0x80) return b;
    auto continuation = [&](size_t at) { return at < s.size() && ((unsigned char)s[at] & 0xC0) == 0x80; };
    int more = b >= 0xF0 && b <= 0xF4 ? 3 : b >= 0xE0 ? (b <= 0xEF ? 2 : -1) : b >= 0xC2 && b <= 0xDF ? 1 : -1;
    char32_t c = more == 3 ? b & 0x07 : more == 2 ? b & 0x0F : b & 0x1F;
    bool ok = more > 0;
    for (int k = 0; ok && k < more; ++k) {
        if (!continuation(i + k)) ok = false;
        else c = (c << 6) | ((unsigned char)s[i + k] & 0x3F);
    }
    char32_t least = more == 3 ? 0x10000 : more == 2 ? 0x800 : 0x80;
    if (ok && (c < least || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))) ok = false;
    if (ok) {
        i += (size_t)more;
        return c;
    }
    while (continuation(i)) ++i;
    return REPLACEMENT_CHARACTER;
}

} // namespace platform
