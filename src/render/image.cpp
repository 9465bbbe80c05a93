// Loading pictures: decode, flatten over black, resample once to the exact size, keeping the key
// colour crisp (no grey halos at 0.5 and 0.75), and precompute the opaque runs for keyed copies.
#include <cstdio>
#include <new>

#include "platform/png.h"
#include "render/surface.h"
#include "render/surface_internal.h"

namespace {

constexpr uint32_t KEY_PIXEL = 0x7F7F7F;
constexpr uint32_t NUDGED_KEY = 0x7F7F80;

// Rewrites the decoder's red, green, blue, alpha bytes in place as 0x00RRGGBB pixels laid over
// black, so that the decoded buffer is the one resampled.
const uint32_t* flattenOverBlack(platform::PngPixels& picture) {
    uint8_t* bytes = picture.bytes.get();
    auto* pixels = reinterpret_cast<uint32_t*>(bytes);
    size_t n = (size_t)picture.width * picture.height;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* p = bytes + i * 4;
        uint32_t a = p[3];
        auto over = [a](uint32_t c) { return a == 255 ? c : (c * a + 127) / 255; };
        pixels[i] = over(p[0]) << 16 | over(p[1]) << 8 | over(p[2]);
    }
    return pixels;
}

// One output coordinate's footprint in the source: the source cells it covers and by how much.
struct Tap {
    int index;
    double weight;
};

std::vector<std::vector<Tap>> footprints(int src, int dst) {
    std::vector<std::vector<Tap>> result(dst);
    double scale = (double)src / dst;
    for (int o = 0; o < dst; ++o) {
        double from = o * scale, to = (o + 1) * scale;
        for (int s = (int)from; s < src && s < to; ++s) {
            double overlap = std::min(to, s + 1.0) - std::max(from, (double)s);
            if (overlap > 1e-9) result[o].push_back({s, overlap});
        }
        if (result[o].empty()) result[o].push_back({std::min((int)from, src - 1), 1.0});
    }
    return result;
}

// An output pixel is the key when most of its footprint is key; otherwise it averages only the
// opaque source pixels, so that edges against the key never turn grey.
std::vector<uint32_t> resample(const uint32_t* src, int sw, int sh, int dw, int dh) {
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return {};
    if (sw == dw && sh == dh) return std::vector<uint32_t>(src, src + (size_t)sw * sh);
    auto xs = footprints(sw, dw), ys = footprints(sh, dh);
    std::vector<uint32_t> out((size_t)dw * dh);
    for (int oy = 0; oy < dh; ++oy) {
        for (int ox = 0; ox < dw; ++ox) {
            double keyWeight = 0, opaqueWeight = 0, r = 0, g = 0, b = 0;
            for (const Tap& ty : ys[oy]) {
                const uint32_t* row = &src[(size_t)ty.index * sw];
                for (const Tap& tx : xs[ox]) {
                    double w = ty.weight * tx.weight;
                    uint32_t p = row[tx.index];
                    if (p == KEY_PIXEL) {
                        keyWeight += w;
                        continue;
                    }
                    opaqueWeight += w;
                    r += w * ((p >> 16) & 0xFF);
                    g += w * ((p >> 8) & 0xFF);
                    b += w * (p & 0xFF);
                }
            }
            uint32_t pixel = KEY_PIXEL;
            if (opaqueWeight > 0 && keyWeight <= opaqueWeight) {
                auto channel = [opaqueWeight](double v) { return (uint32_t)(v / opaqueWeight + 0.5); };
                pixel = channel(r) << 16 | channel(g) << 8 | channel(b);
                if (pixel == KEY_PIXEL) pixel = NUDGED_KEY;
            }
            out[(size_t)oy * dw + ox] = pixel;
        }
    }
    return out;
}

} // namespace

void computeKeyedRuns(Surface& s, uint32_t key) {
    s.runsKey = key;
    s.keyedRuns.clear();
    s.rowRuns.assign(1, 0);
    s.opaque = true;
    for (int y = 0; y < s.height; ++y) {
        const uint32_t* row = &s.pixels[(size_t)y * s.width];
        for (int x = 0; x < s.width;) {
            if (row[x] == key) {
                ++x;
                continue;
            }
            int start = x;
            while (x < s.width && row[x] != key) ++x;
            s.keyedRuns.push_back({start, x - start});
        }
        int first = s.rowRuns.back(), count = (int)s.keyedRuns.size() - first;
        if (count != 1 || s.keyedRuns[first].length != s.width) s.opaque = false;
        s.rowRuns.push_back((int)s.keyedRuns.size());
    }
    s.generation = nextGeneration();
}

bool loadPicture(IMAGE* dst, const char* file, int width, int height, size_t memoryLimit, std::string& error) {
    if (!dst) return false;
    dst->surface = Surface{};
    dst->surface.generation = nextGeneration();
    if (width <= 0 || height <= 0) {
        error = "no size to stretch it to";
        return false;
    }
    try {
        platform::PngPixels picture;
        if (!platform::decodePng(file, memoryLimit, picture, error)) return false;
        const uint32_t* pixels = flattenOverBlack(picture);
        std::vector<uint32_t> scaled = resample(pixels, picture.width, picture.height, width, height);
        picture = {};
        dst->surface.pixels = std::move(scaled);
        dst->surface.width = width;
        dst->surface.height = height;
        computeKeyedRuns(dst->surface, KEY_PIXEL);
    } catch (const std::bad_alloc&) {
        dst->surface = Surface{};
        dst->surface.generation = nextGeneration();
        error = "not enough memory";
        return false;
    }
    return true;
}

bool loadimage(IMAGE* dst, const char* file, int width, int height, bool) {
    std::string error;
    return loadPicture(dst, file, width, height, PICTURE_MEMORY_LIMIT, error);
}
