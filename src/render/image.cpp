// Loading pictures: decode, flatten over black, resample once to the exact size, keeping the key
// colour crisp (no grey halos at 0.5 and 0.75), and precompute the opaque runs for keyed copies.
#include <cstdio>

#include "render/surface.h"
#include "render/surface_internal.h"

namespace {

constexpr uint32_t KEY_PIXEL = 0x7F7F7F;
constexpr uint32_t NUDGED_KEY = 0x7F7F80;

uint32_t flattenOverBlack(uint32_t argb) {
    uint32_t a = argb >> 24;
    if (a == 255) return argb & 0xFFFFFF;
    auto scale = [a](uint32_t c) { return (c * a + 127) / 255; };
    return scale((argb >> 16) & 0xFF) << 16 | scale((argb >> 8) & 0xFF) << 8 | scale(argb & 0xFF);
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
std::vector<uint32_t> resample(const std::vector<uint32_t>& src, int sw, int sh, int dw, int dh) {
    if (sw == dw && sh == dh) return src;
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

bool loadimage(IMAGE* dst, const char* file, int width, int height, bool) {
    if (!dst) return false;
    dst->surface = Surface{};
    if (width <= 0 || height <= 0) return false;
    platform::RgbaPicture picture;
    std::string error;
    if (!platform::decodePng(file, picture, error)) return false;
    for (uint32_t& p : picture.pixels) p = flattenOverBlack(p);
    dst->surface.width = width;
    dst->surface.height = height;
    dst->surface.pixels = resample(picture.pixels, picture.width, picture.height, width, height);
    computeKeyedRuns(dst->surface, KEY_PIXEL);
    return true;
}
