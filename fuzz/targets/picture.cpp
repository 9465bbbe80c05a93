// One picture file decoded and stretched at the three rates, then drawn keyed into a small frame.
//
// Input: the reference size across and down (one byte each, 1 to 256), the memory decoding may
// take (one byte: 64 KiB, 1 MiB, 16 MiB, or loadimage's own limit), where the picture is drawn
// (two signed bytes, relative to the frame's corner), then the file's bytes.
#include "fuzz_target.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/surface.h"
#include "render/surface_internal.h"

namespace {

constexpr size_t LIMITS[] = {size_t(64) << 10, size_t(1) << 20, size_t(16) << 20};
constexpr uint32_t KEY_PIXEL = 0x7F7F7F;

// The opaque runs of each row are exactly its pixels that are not the key, in order.
bool runsMatchPixels(const Surface& s) {
    if ((int)s.rowRuns.size() != s.height + 1 || s.rowRuns.front() != 0) return false;
    if (s.rowRuns.back() != (int)s.keyedRuns.size()) return false;
    for (int y = 0; y < s.height; ++y) {
        const uint32_t* row = &s.pixels[(size_t)y * s.width];
        int x = 0;
        for (int r = s.rowRuns[y]; r < s.rowRuns[y + 1]; ++r) {
            const Surface::Run& run = s.keyedRuns[(size_t)r];
            if (run.x < x || run.length <= 0 || run.x + run.length > s.width) return false;
            for (; x < run.x; ++x)
                if (row[x] != KEY_PIXEL) return false;
            for (; x < run.x + run.length; ++x)
                if (row[x] == KEY_PIXEL) return false;
        }
        for (; x < s.width; ++x)
            if (row[x] != KEY_PIXEL) return false;
    }
    return true;
}

} // namespace

FUZZ_TARGET(picture) {
    fuzzing::Input in(data, size);
    int across = in.byte() + 1, down = in.byte() + 1;
    int limitChoice = in.byte() % 4;
    int dx = (int8_t)in.byte(), dy = (int8_t)in.byte();
    const std::string file = fuzzing::scratchFolder() + "/picture.png";
    fuzzing::putFile(file, in.rest());

    platform::headless::enable();
    initgraph(96, 64);
    BeginBatchDraw();
    IMAGE images[3];
    const double rates[] = {0.5, 0.75, 1.0};
    for (int i = 0; i < 3; ++i) {
        int w = (int)(across * rates[i]), h = (int)(down * rates[i]);
        IMAGE& img = images[i];
        std::string error = "(none given)";
        bool loaded = limitChoice == 3 ? loadimage(&img, file.c_str(), w, h)
                                       : loadPicture(&img, file.c_str(), w, h, LIMITS[limitChoice], error);
        const Surface& s = img.surface;
        if (loaded) {
            FUZZ_CHECK(s.width == w && s.height == h && s.pixels.size() == (size_t)w * h,
                       "loaded as " + std::to_string(s.width) + " x " + std::to_string(s.height));
            FUZZ_CHECK(runsMatchPixels(s), "the opaque runs differ from the pixels");
        } else {
            FUZZ_CHECK(s.width == 0 && s.height == 0 && s.pixels.empty(), "a refused picture keeps pixels");
            FUZZ_CHECK(!error.empty(), "refused without a reason");
        }
        TransparentBlt(GetImageHDC(), dx + 8 * i, dy + 4 * i, w, h, GetImageHDC(&img), 0, 0, w, h, KEY_COLOUR);
    }
    FlushBatchDraw();
    return 0;
}
