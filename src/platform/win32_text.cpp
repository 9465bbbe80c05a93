// Text conversion on Windows: GBK game text (code page 936) to and from UTF-8, through UTF-16.
// Windows maps what it cannot convert to characters of its own choosing (a middle dot, a letter
// without its accent), so each direction checks strictly and puts in U+FFFD or '?' itself.
#include "platform/platform.h"

#include <windows.h>

namespace platform {
namespace {

constexpr UINT GBK = 936;
constexpr char32_t REPLACEMENT = 0xFFFD;

void appendUtf8(std::string& out, char32_t c) {
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

// The UTF-16 of `n` GBK bytes, or false when they are not valid GBK.
bool gbkToWide(const char* bytes, int n, std::wstring& wide) {
    int length = MultiByteToWideChar(GBK, MB_ERR_INVALID_CHARS, bytes, n, nullptr, 0);
    if (length <= 0) return false;
    wide.resize((size_t)length);
    return MultiByteToWideChar(GBK, MB_ERR_INVALID_CHARS, bytes, n, wide.data(), length) == length;
}

void appendWide(std::string& out, const std::wstring& wide) {
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
        appendUtf8(out, c);
    }
}

bool isLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// One UTF-8 character from `s` at `i`: its code point, or REPLACEMENT for a malformed one (an
// overlong form, a surrogate, beyond U+10FFFF, cut short). `i` moves past what was read; a
// malformed character is skipped with the continuation bytes that follow its first byte.
char32_t nextUtf8(const std::string& s, size_t& i) {
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
    return REPLACEMENT;
}

} // namespace

std::string gbkToUtf8(const std::string& gbk) {
    std::string out;
    out.reserve(gbk.size() * 3 / 2 + 4);
    std::wstring wide;
    // Valid text, the usual case, in one call.
    if (gbk.empty() || gbkToWide(gbk.data(), (int)gbk.size(), wide)) {
        appendWide(out, wide);
        return out;
    }
    // Otherwise character by character: a byte that starts no valid character becomes U+FFFD
    // and conversion goes on at the next byte.
    for (size_t i = 0; i < gbk.size();) {
        unsigned char b = (unsigned char)gbk[i];
        int n = isLeadByte(b) && i + 1 < gbk.size() ? 2 : 1;
        if (gbkToWide(gbk.data() + i, n, wide)) {
            appendWide(out, wide);
            i += (size_t)n;
        } else {
            appendUtf8(out, REPLACEMENT);
            ++i;
        }
    }
    return out;
}

std::string utf8ToGbk(const std::string& utf8) {
    // Characters beyond UTF-16's first plane are not in GBK; they and malformed input become '?'
    // here, so that Windows converts only what it may map exactly.
    std::wstring wide;
    wide.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = nextUtf8(utf8, i);
        wide += (c == REPLACEMENT || c > 0xFFFF) ? L'?' : (wchar_t)c;
    }
    if (wide.empty()) return {};
    std::string out;
    int length = WideCharToMultiByte(GBK, WC_NO_BEST_FIT_CHARS, wide.data(), (int)wide.size(), nullptr, 0, "?", nullptr);
    if (length <= 0) return std::string(wide.size(), '?');
    out.resize((size_t)length);
    WideCharToMultiByte(GBK, WC_NO_BEST_FIT_CHARS, wide.data(), (int)wide.size(), out.data(), length, "?", nullptr);
    return out;
}

} // namespace platform
