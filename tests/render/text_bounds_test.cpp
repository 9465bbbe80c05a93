// What text may cost: the caches stay within their byte budget, boxes are rasterised only where
// they meet the frame, font sizes are capped.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "platform/glyphs.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/surface.h"
#include "render/surface_internal.h"
#include "support/small_frame.h"

namespace headless = platform::headless;

namespace {

const TextStyle BOLD32{32, 16, 1000, "幼圆"};

// White text alone on a black frame, in a font height x width; returns the frame.
std::vector<uint32_t> draw(const std::string& text, RECT box, int height = 32, int width = 16) {
    LOGFONT f{height, width, 1000, ANTIALIASED_QUALITY, "幼圆"};
    settextstyle(&f);
    settextcolor(WHITE);
    HDC frame = GetImageHDC(nullptr);
    IMAGE black(frame->width, frame->height);
    computeKeyedRuns(black.surface, KEY_COLOUR);
    TransparentBlt(frame, 0, 0, frame->width, frame->height, GetImageHDC(&black), 0, 0, frame->width, frame->height,
                   KEY_COLOUR);
    drawtext(text.c_str(), &box, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
    FlushBatchDraw();
    return headless::lastFrame();
}

// Streams of distinct entries: large boxes (masks dominate), single glyphs at the largest size
// (glyphs dominate). The budget holds after every one, an entry used all along is never laid
// out again, and the oldest entry, unused since, has gone.
TEST(TextCacheBudget, HoldsUnderManyDistinctEntriesAndKeepsWhatIsInUse) {
    clearTextCache();
    EXPECT_EQ(textCacheStats().bytes, 0u) << "emptied, the caches hold nothing";
    // Enough glyphs to hold a quarter more than the budget, however large the face draws them.
    platform::FaceHandle largest = platform::openFace({"幼圆", platform::MAX_FONT_PIXELS, 0, true});
    ASSERT_TRUE(largest);
    const size_t glyphBytes = platform::renderGlyph(*largest, U'啊').coverage.size();
    ASSERT_GT(glyphBytes, 0u);
    const int glyphs = (int)(textCacheStats().budget * 5 / 4 / glyphBytes) + 1;
    ASSERT_LT(glyphs, 94 * 10) << "distinct characters enough";
    const std::pair<int, std::function<void(int)>> streams[] = {
        {48, [](int n) { layoutText("第", BOLD32, 2048 + n, 1024); }}, // a box of its own each
        {glyphs,
         [](int n) {
             std::string hanzi{(char)(0xB0 + n / 94), (char)(0xA1 + n % 94)};
             layoutText(hanzi, {platform::MAX_FONT_PIXELS, 0, 1000, "幼圆"}, 1100, 1100, {500, 500, 8, 8});
         }},
    };
    const std::string kept = "结束回合";
    for (const auto& [count, add] : streams) {
        SCOPED_TRACE(count);
        layoutText(kept, BOLD32, 212, 32);
        const size_t before = textCacheStats().layouts;
        for (int n = 0; n < count; ++n) {
            add(n);
            layoutText(kept, BOLD32, 212, 32);
            ASSERT_EQ(textCacheStats().layouts, before + n + 1) << "only the new entry " << n << " was laid out";
            ASSERT_LE(textCacheStats().bytes, textCacheStats().budget) << "after entry " << n;
        }
        size_t layouts = textCacheStats().layouts;
        add(0);
        EXPECT_EQ(textCacheStats().layouts, layouts + 1) << "the oldest entry has gone";
    }
    EXPECT_EQ(textCacheStats().budget, 64u << 20);
}

using TextWindows = testing_support::SmallFrameTest;

// A box partly or wholly outside the 64 x 48 frame draws there what its whole layout puts there.
TEST_F(TextWindows, BoxesPartlyOutsideTheFrameDrawWhatTheirWholeLayoutPutsThere) {
    std::string paragraph;
    for (int i = 0; i < 30; ++i) paragraph += "对一个敌人造成九点伤害，";
    for (RECT r : {RECT{-550, -150, 50, 30}, RECT{40, 30, 640, 530}, RECT{70, 0, 300, 40}}) {
        SCOPED_TRACE(testing::Message() << r.left << ", " << r.top);
        std::vector<uint32_t> got = draw(paragraph, r), want(64 * 48, 0);
        const TextMask& whole = layoutText(paragraph, BOLD32, r.right - r.left, r.bottom - r.top);
        for (int y = std::max<int>(0, r.top); y < std::min<int>(48, r.bottom); ++y)
            for (int x = std::max<int>(0, r.left); x < std::min<int>(64, r.right); ++x)
                blendTextPairs(&want[y * 64 + x], &whole.coverage[(size_t)(y - r.top) * whole.width + (x - r.left)],
                               1, 0xFFFFFF);
        EXPECT_TRUE(got == want);
        EXPECT_EQ(std::count(got.begin(), got.end(), 0u) < 64 * 48, r.left < 64)
            << "text shows where the box meets the frame";
    }
}

// A box of 100000 x 100000 draws what an ordinary box with the same centre line and first line
// draws, and lays out only what the frame shows.
TEST_F(TextWindows, AHugeBoxCostsOnlyWhatTheFrameShows) {
    initgraph(200, 100, 0);
    const std::string text = "未来公主\n结束回合\n3/5";
    const LONG far = (LONG)std::min<long long>(1LL << 33, std::numeric_limits<LONG>::max() / 2);
    const std::vector<uint32_t> ordinary = draw(text, {0, 0, 200, 100});
    const std::pair<std::string, RECT> cases[] = {
        {text, {100 - 50000, 0, 100 + 50000, 100000}},
        {std::string(3000, '\n') + text, {100 - 50000, -3000 * 32, 100 + 50000, 100000 - 3000 * 32}},
        {text, {100 - far, 0, 100 + far, far}}, // beyond the range of int where long has 64 bits
    };
    for (const auto& [what, box] : cases) {
        SCOPED_TRACE(box.top);
        size_t before = textCacheStats().bytes;
        EXPECT_TRUE(draw(what, box) == ordinary);
        EXPECT_LT(textCacheStats().bytes, before + (1u << 20)) << "far less than the box";
    }
}

// A height or width far beyond any the game uses draws as at the cap, within the budget.
TEST_F(TextWindows, FontSizesBeyondTheCapDrawAsAtTheCap) {
    const int cap = platform::MAX_FONT_PIXELS;
    initgraph(2200, 1100, 0);
    for (auto [height, width, cappedHeight, cappedWidth] : {std::array<int, 4>{100000, 16, cap, 16},
                                                            std::array<int, 4>{32, 100000, 32, cap},
                                                            std::array<int, 4>{1 << 30, 1 << 30, cap, cap}}) {
        SCOPED_TRACE(testing::Message() << height << " x " << width);
        std::vector<uint32_t> capped = draw("战", {0, 0, 2200, 1100}, cappedHeight, cappedWidth);
        EXPECT_TRUE(draw("战", {0, 0, 2200, 1100}, height, width) == capped);
        EXPECT_GT(capped.size() - std::count(capped.begin(), capped.end(), 0u), (size_t)cappedHeight * 4)
            << "the glyph shows whole";
        EXPECT_LE(textCacheStats().bytes, textCacheStats().budget);
    }
}

} // namespace
