// Text conversion on Windows: GBK game text (code page 936) to and from UTF-8, through UTF-16.
// Windows maps what it cannot convert to characters of its own choosing (a middle dot, a letter
// without its accent), so each direction checks strictly and puts in U+FFFD or '?' itself.
#include "platform/platform.h"
#include "platform/utf8.h"

#include <windows.h>

namespace platform {
namespace {

constexpr UINT GBK = 936;

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
            appendUtf8(out, REPLACEMENT_CHARACTER);
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
        wide += (c == REPLACEMENT_CHARACTER || c > 0xFFFF) ? L'?' : (wchar_t)c;
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
