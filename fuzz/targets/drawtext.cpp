// drawtext over arbitrary GBK bytes, styles and boxes (huge ones and ones off the frame included),
// with pictures among them, over a few frames. The frame after the first is drawn only where it
// differs from the one before; each is checked against the same frame drawn whole.
//
// Input: the frame size (one byte), then up to eight items (text with its style, box and colour,
// or a small keyed picture with its place), then one byte per frame naming the items it draws.
#include <climits>
#include <vector>

#include "fuzz_target.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/surface.h"
#include "render/surface_internal.h"

namespace {

struct Item {
    bool text = false;
    std::string gbk;
    LOGFONT font;
    RECT box;
    COLORREF colour = 0;
    int x = 0, y = 0; // the picture's place
};

const char* const FACES[] = {"幼圆", "", "DejaVu Sans"};
const platform::Point FRAMES[] = {{160, 96}, {48, 32}, {1, 1}, {320, 200}};

// An edge: near the frame, anywhere an int reaches, or anything a LONG holds.
LONG edge(fuzzing::Input& in) {
    switch (in.byte() % 8) {
    case 0: return in.int32();
    case 1: return (LONG)in.int64();
    default: return in.int16() % 400;
    }
}

int fontSize(fuzzing::Input& in) {
    uint8_t kind = in.byte();
    return kind < 240 ? kind % 64 : in.int32();
}

Item textItem(fuzzing::Input& in) {
    Item it;
    it.text = true;
    it.font.lfHeight = fontSize(in);
    it.font.lfWidth = fontSize(in);
    it.font.lfWeight = in.byte() < 128 ? 1000 : in.int16();
    it.font.lfQuality = ANTIALIASED_QUALITY;
    uint8_t face = in.byte();
    std::string name = face < 250 ? FACES[face % 3] : in.bytes(LF_FACESIZE - 1);
    name.copy(it.font.lfFaceName, LF_FACESIZE - 1);
    it.box.left = edge(in);
    it.box.top = edge(in);
    it.box.right = edge(in);
    it.box.bottom = edge(in);
    it.colour = (COLORREF)in.int32() & 0xFFFFFF;
    std::string text = in.bytes(in.pick(0, 96));
    it.gbk = text.substr(0, text.find('\0')); // drawtext takes a C string
    return it;
}

Item pictureItem(fuzzing::Input& in) {
    Item it;
    it.x = in.int16() % 400;
    it.y = in.int16() % 300;
    return it;
}

// An opaque picture the size of the frame, as every screen starts with, so that the next frame is
// compared with this one and drawn only where it differs.
IMAGE background(platform::Point size) {
    IMAGE bg(size.x, size.y);
    for (int y = 0; y < size.y; ++y)
        for (int x = 0; x < size.x; ++x)
            bg.surface.pixels[(size_t)y * size.x + x] = (uint32_t)((x * 5 & 0xFF) << 16 | (y * 7 & 0xFF) << 8 | 0x10);
    computeKeyedRuns(bg.surface, KEY_COLOUR);
    return bg;
}

// A small picture with a hole of the key colour.
IMAGE sprite() {
    IMAGE s(24, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            s.surface.pixels[(size_t)y * 24 + x] = (x - 12) * (x - 12) + (y - 8) * (y - 8) < 30 ? KEY_COLOUR : 0x20C040;
    computeKeyedRuns(s.surface, KEY_COLOUR);
    return s;
}

void draw(const std::vector<Item>& items, unsigned chosen, IMAGE& bg, IMAGE& pic) {
    if (chosen & 1) TransparentBlt(GetImageHDC(), 0, 0, bg.getwidth(), bg.getheight(), GetImageHDC(&bg), 0, 0,
                                   bg.getwidth(), bg.getheight(), KEY_COLOUR);
    for (size_t i = 0; i < items.size(); ++i) {
        if (!(chosen >> (i + 1) & 1)) continue;
        const Item& it = items[i];
        if (!it.text) {
            TransparentBlt(GetImageHDC(), it.x, it.y, 24, 16, GetImageHDC(&pic), 0, 0, 24, 16, KEY_COLOUR);
            continue;
        }
        settextstyle(&it.font);
        settextcolor(it.colour);
        RECT box = it.box;
        drawtext(it.gbk.c_str(), &box, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
    }
}

void warmUp() {
    // Finds the faces once before the fuzzer forks, so that no child pays for fontconfig, and the
    // first input runs as the others do.
    platform::headless::enable();
    for (const char* face : FACES) {
        TextStyle style;
        style.height = 16;
        style.face = face;
        layoutText("字", style, 32, 32);
    }
}

} // namespace

FUZZ_WARM_UP(warmUp)

FUZZ_TARGET(drawtext) {
    fuzzing::Input in(data, size);
    platform::headless::enable();
    clearTextCache();
    platform::Point frame = FRAMES[in.byte() % 4];
    std::vector<Item> items;
    for (int n = in.pick(1, 8); n > 0; --n) items.push_back(in.byte() < 200 ? textItem(in) : pictureItem(in));
    IMAGE bg = background(frame), pic = sprite();

    initgraph(frame.x, frame.y);
    BeginBatchDraw();
    for (int f = 0; f < 4 && !in.empty(); ++f) {
        // Bits 1 to 8 choose the items; bit 0 the background (most frames have one).
        unsigned chosen = (unsigned)in.byte() << 1 | (in.byte() < 224 ? 1 : 0);
        draw(items, chosen, bg, pic);
        FlushBatchDraw();
        std::vector<uint32_t> drawn = platform::headless::lastFrame();
        // The same frame drawn whole, in a window opened afresh (which also makes it the frame the
        // next one is compared with).
        initgraph(frame.x, frame.y);
        draw(items, chosen, bg, pic);
        FlushBatchDraw();
        if (!(chosen & 1)) continue; // without a background, what the last frame left shows through
        const std::vector<uint32_t>& whole = platform::headless::lastFrame();
        size_t differ = 0;
        while (differ < whole.size() && drawn[differ] == whole[differ]) ++differ;
        FUZZ_CHECK(differ == whole.size(), "frame " + std::to_string(f) + " drawn where it changed differs at pixel " +
                                               std::to_string(differ % frame.x) + ", " +
                                               std::to_string(differ / frame.x) + " from the frame drawn whole");
    }
    return 0;
}
