// Text conversion (GBK game text to UTF-8 for fonts and terminals) and PNG decoding.
#include <SDL.h>
#include <SDL_image.h>
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

bool decodePng(const std::string& path, RgbaPicture& out, std::string& error) {
    out = {};
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded) {
        error = IMG_GetError();
        return false;
    }
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (!argb) {
        error = SDL_GetError();
        return false;
    }
    out.width = argb->w;
    out.height = argb->h;
    out.pixels.resize((size_t)argb->w * argb->h);
    SDL_LockSurface(argb);
    for (int y = 0; y < argb->h; ++y)
        std::memcpy(&out.pixels[(size_t)y * argb->w], static_cast<const char*>(argb->pixels) + (size_t)y * argb->pitch,
                    (size_t)argb->w * 4);
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
    return true;
}

} // namespace platform

namespace platform {

bool encodePng(const std::string& path, const RgbaPicture& picture, std::string& error) {
    if (picture.width <= 0 || picture.height <= 0 || picture.pixels.size() < (size_t)picture.width * picture.height) {
        error = "empty picture";
        return false;
    }
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(picture.pixels.data()), picture.width,
                                           picture.height, 32, picture.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!surface) {
        error = SDL_GetError();
        return false;
    }
    int result = IMG_SavePNG(surface, path.c_str());
    SDL_FreeSurface(surface);
    if (result != 0) error = IMG_GetError();
    return result == 0;
}

} // namespace platform
