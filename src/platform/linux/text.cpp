// Text conversion with iconv: GBK game text to UTF-8 for fonts and terminals, and back.
#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "platform/platform.h"

namespace platform {
namespace {

// Converts with iconv, replacing what cannot be converted instead of stopping there.
std::string convert(const char* to, const char* from, const std::string& in, const char* replacement,
                    size_t badInputStep) {
    iconv_t cd = iconv_open(to, from);
    if (cd == (iconv_t)-1) return in;
    std::string out;
    out.reserve(in.size() * 3 / 2 + 4);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[256];
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, dst - buffer);
        if (r != (size_t)-1) continue;
        if (errno == E2BIG) continue;
        // An invalid or cut-off sequence: replace it and go on after it.
        out += replacement;
        size_t step = badInputStep < srcLeft ? badInputStep : srcLeft;
        if (errno == EILSEQ && std::strcmp(from, "UTF-8") == 0) {
            // Skip the whole UTF-8 character.
            step = 1;
            while (step < srcLeft && (static_cast<unsigned char>(src[step]) & 0xC0) == 0x80) ++step;
        }
        src += step;
        srcLeft -= step;
    }
    iconv_close(cd);
    return out;
}

} // namespace

std::string gbkToUtf8(const std::string& gbk) { return convert("UTF-8", "GBK", gbk, "\xEF\xBF\xBD", 1); }

std::string utf8ToGbk(const std::string& utf8) { return convert("GBK", "UTF-8", utf8, "?", 1); }

} // namespace platform
