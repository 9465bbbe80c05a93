// What a battle frame costs the graphics surface, beside the memory-bandwidth floor: one memcpy of
// the 1512 x 1024 frame, measured in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/surface.h"
#include "render/surface_internal.h"
#include "frame_memcpy.h"

namespace {

constexpr int W = 1512, H = 1024;

struct Scene {
    IMAGE background{W, H};
    IMAGE card{82, 112};
    std::vector<std::string> texts;

    Scene() {
        platform::headless::enable();
        initgraph(W, H, 0);
        BeginBatchDraw();
        setbkmode(TRANSPARENT);
        for (int i = 0; i < W * H; ++i) background.surface.pixels[i] = 0x203040 + (i % 7) * 0x010101;
        computeKeyedRuns(background.surface, KEY_COLOUR);
        // A card with rounded, keyed corners and a keyed window, like the art's frames.
        for (int y = 0; y < 112; ++y)
            for (int x = 0; x < 82; ++x) {
                bool corner = (x < 6 || x > 75) && (y < 6 || y > 105);
                bool window = x > 10 && x < 72 && y > 12 && y < 60;
                card.surface.pixels[y * 82 + x] = corner || window ? 0x7F7F7F : 0xC0A040 + x;
            }
        computeKeyedRuns(card.surface, KEY_COLOUR);
        // Short Chinese labels, as the battle screen prints them (names, counts, prompts).
        const char* const words[] = {"未来公主", "娅拉的触手", "对手手牌×4", "偷袭", "冥界使者", "结束回合", "坎特伯雷新兵"};
        for (int i = 0; i < 70; ++i) texts.push_back(words[i % 7]);
        LOGFONT f;
        gettextstyle(&f);
        f.lfHeight = 32;
        f.lfWidth = 16;
        f.lfWeight = 1000;
        f.lfQuality = ANTIALIASED_QUALITY;
        std::strcpy(f.lfFaceName, "幼圆");
        settextstyle(&f);
        settextcolor(WHITE);
    }

    void draw(int variant) {
        HDC frame = GetImageHDC(nullptr);
        TransparentBlt(frame, 0, 0, W, H, GetImageHDC(&background), 0, 0, W, H, KEY_COLOUR);
        for (int i = 0; i < 200; ++i)
            TransparentBlt(frame, (i * 97 + variant) % (W - 82), (i * 53) % (H - 112), 82, 112, GetImageHDC(&card), 0,
                           0, 82, 112, KEY_COLOUR);
        for (int i = 0; i < 70; ++i) {
            RECT r{(i * 131) % (W - 212), (i * 71) % (H - 32), 0, 0};
            r.right = r.left + 212;
            r.bottom = r.top + 32;
            drawtext(texts[i].c_str(), &r, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
        }
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

// Recording and drawing a changed frame: the full-window picture, 200 keyed cards, 70 bold texts.
void BattleFrameDrawn(benchmark::State& state) {
    Scene& s = scene();
    int variant = 0;
    for (auto _ : state) {
        s.draw(variant++ & 1);
        drawRecordedFrame();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BattleFrameDrawn)->Unit(benchmark::kMicrosecond);

// The same, flushed to the headless window (which copies the whole frame once more).
void BattleFrameFlushedHeadless(benchmark::State& state) {
    Scene& s = scene();
    int variant = 0;
    for (auto _ : state) {
        s.draw(variant++ & 1);
        FlushBatchDraw();
    }
}
BENCHMARK(BattleFrameFlushedHeadless)->Unit(benchmark::kMicrosecond);

// A frame identical to the one on screen, as the battle screen redraws while nothing moves.
void BattleFrameUnchanged(benchmark::State& state) {
    Scene& s = scene();
    s.draw(0);
    FlushBatchDraw();
    for (auto _ : state) {
        s.draw(0);
        FlushBatchDraw();
    }
}
BENCHMARK(BattleFrameUnchanged)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
