// What text may cost: the caches stay within their byte budget, boxes are rasterised only where
// they meet the frame, font sizes are capped.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "platform/glyphs.h"
#include "platform/platform.h"
#include "render/surface.h"
#include "render/surface_internal.h"
#include "support/small_frame.h"

namespace headless = platform::headless;

namespace {

const TextStyle BOLD32{32, 16, 1000, "幼圆"};
const std::string NUMERALS = "零一二三四五六七八九";

// A text of its own for every n.
std::string distinct(int n) {
    std::string s = "第";
    for (; n; n /= 10) s += NUMERALS.substr((size_t)(n % 10) * 2, 2);
    return s;
}

std::vector<uint32_t> frameNow() { return headless::lastFrame(); }

void useFont(int height, int width) {
    LOGFONT f{height, width, 1000, ANTIALIASED_QUALITY, "幼圆"};
    settextstyle(&f);
    settextcolor(WHITE);
}

// The text alone on a black frame.
void draw(const std::string& text, RECT box) {
    HDC frame = GetImageHDC(nullptr);
    IMAGE black(frame->width, frame->height);
    computeKeyedRuns(black.surface, KEY_COLOUR);
    TransparentBlt(frame, 0, 0, frame->width, frame->height, GetImageHDC(&black), 0, 0, frame->width, frame->height,
                   KEY_COLOUR);
    drawtext(text.c_str(), &box, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
    FlushBatchDraw();
}

// ---- the byte budget ----

// Streams of distinct entries: large boxes (masks dominate), single glyphs at the largest size
// (glyphs dominate). The budget holds after every one, an entry used all along is never laid
// out again, and the oldest entry, unused since, has gone.
TEST(TextCacheBudget, HoldsUnderManyDistinctEntriesAndKeepsWhatIsInUse) {
    struct Stream {
        const char* what;
        int count;
        std::function<void(int)> add;
    };
    // Enough glyphs to hold a quarter more than the budget, however large the face draws them.
    platform::FaceHandle largest = platform::openFace({"幼圆", platform::MAX_FONT_PIXELS, 0, true});
    ASSERT_TRUE(largest);
    const size_t glyphBytes = platform::renderGlyph(*largest, U'啊').coverage.size();
    ASSERT_GT(glyphBytes, 0u);
    const int glyphs = (int)(textCacheStats().budget * 5 / 4 / glyphBytes) + 1;
    ASSERT_LT(glyphs, 94 * 10) << "distinct characters enough";
    const Stream streams[] = {
        {"boxes of 2 MiB", 48, [](int n) { layoutText(distinct(n), BOLD32, 2048 + n, 1024); }},
        {"glyphs of the largest size", glyphs,
         [](int n) {
             std::string hanzi{(char)(0xB0 + n / 94), (char)(0xA1 + n % 94)};
             layoutText(hanzi, {platform::MAX_FONT_PIXELS, 0, 1000, "幼圆"}, 1100, 1100, {500, 500, 8, 8});
         }},
    };
    const std::string kept = "结束回合";
    for (const Stream& stream : streams) {
        SCOPED_TRACE(stream.what);
        layoutText(kept, BOLD32, 212, 32);
        const size_t before = textCacheStats().layouts;
        for (int n = 0; n < stream.count; ++n) {
            stream.add(n);
            layoutText(kept, BOLD32, 212, 32);
            ASSERT_EQ(textCacheStats().layouts, before + n + 1) << "only the new entry " << n << " was laid out";
            ASSERT_LE(textCacheStats().bytes, textCacheStats().budget) << "after entry " << n;
        }
        size_t layouts = textCacheStats().layouts;
        stream.add(0);
        EXPECT_EQ(textCacheStats().layouts, layouts + 1) << "the oldest entry has gone";
    }
    EXPECT_EQ(textCacheStats().budget, 64u << 20);
}

// Emptied, the caches hold nothing and the next text is laid out again, the same as before.
TEST(TextCacheBudget, ClearingEmptiesTheCachesAndTheSameTextComesOutTheSame) {
    const TextMask first = layoutText("结束回合", BOLD32, 212, 32);
    ASSERT_FALSE(first.spans.empty());
    clearTextCache();
    EXPECT_EQ(textCacheStats().bytes, 0u);
    size_t layouts = textCacheStats().layouts;
    const TextMask& again = layoutText("结束回合", BOLD32, 212, 32);
    EXPECT_EQ(textCacheStats().layouts, layouts + 1) << "laid out afresh, not found in the cache";
    EXPECT_EQ(again.coverage, first.coverage);
    EXPECT_GT(textCacheStats().bytes, 0u);
}

// ---- rasterised only where the box meets the frame ----

using TextWindows = testing_support::SmallFrameTest;

// White text on black, drawn from the whole box's layout, clipped to the 64 x 48 frame.
std::vector<uint32_t> expectedFrame(const std::string& text, const RECT& r) {
    std::vector<uint32_t> frame(64 * 48, 0);
    const TextMask& whole = layoutText(text, BOLD32, r.right - r.left, r.bottom - r.top);
    for (int y = std::max<int>(0, r.top); y < std::min<int>(48, r.bottom); ++y)
        for (int x = std::max<int>(0, r.left); x < std::min<int>(64, r.right); ++x)
            blendTextPairs(&frame[y * 64 + x], &whole.coverage[(size_t)(y - r.top) * whole.width + (x - r.left)], 1,
                           0xFFFFFF);
    return frame;
}

TEST_F(TextWindows, BoxesPartlyOutsideTheFrameDrawWhatTheirWholeLayoutPutsThere) {
    std::string paragraph;
    for (int i = 0; i < 30; ++i) paragraph += "对一个敌人造成九点伤害，";
    struct Case {
        const char* what;
        std::string text;
        RECT box;
    };
    const Case cases[] = {
        {"inside the frame", "未来公主", {4, 4, 60, 44}},
        {"mostly to the left and above", paragraph, {-550, -150, 50, 30}},
        {"mostly to the right and below", paragraph, {40, 30, 640, 530}},
        {"a tall box whose later lines reach the frame", paragraph, {-20, -3000, 84, 40}},
        {"wholly outside", paragraph, {70, 0, 300, 40}},
    };
    useFont(32, 16);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        draw(c.text, c.box);
        std::vector<uint32_t> got = frameNow(), want = expectedFrame(c.text, c.box);
        bool inked = false;
        for (int i = 0; i < 64 * 48; ++i) {
            inked |= want[i] != 0;
            ASSERT_EQ(got[i], want[i]) << "at (" << i % 64 << ", " << i / 64 << ")";
        }
        EXPECT_EQ(inked, c.box.left < 64) << "text shows where the box meets the frame";
    }
}

// A box of 100000 x 100000 draws what an ordinary box with the same centre line and first line
// draws, and lays out only what the frame shows.
TEST_F(TextWindows, AHugeBoxCostsOnlyWhatTheFrameShows) {
    initgraph(200, 100, 0);
    useFont(32, 16);
    const std::string text = "未来公主\n结束回合\n3/5";
    const LONG far = (LONG)std::min<long long>(1LL << 33, std::numeric_limits<LONG>::max() / 2);
    draw(text, {0, 0, 200, 100});
    const std::vector<uint32_t> ordinary = frameNow();
    struct Case {
        const char* what;
        std::string text;
        RECT box;
    };
    const Case cases[] = {
        {"from the top of the frame", text, {100 - 50000, 0, 100 + 50000, 100000}},
        {"from far above, the lines pushed down to the frame", std::string(3000, '\n') + text,
         {100 - 50000, -3000 * 32, 100 + 50000, 100000 - 3000 * 32}},
        {"with edges beyond the range of int (where long has 64 bits)", text, {100 - far, 0, 100 + far, far}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        size_t before = textCacheStats().bytes;
        draw(c.text, c.box);
        EXPECT_TRUE(frameNow() == ordinary);
        EXPECT_LT(textCacheStats().bytes, before + (1u << 20)) << "far less than the box";
    }
}

// ---- font heights ----

// A height or width far beyond any the game uses draws as at the cap, within the budget.
TEST_F(TextWindows, FontSizesBeyondTheCapDrawAsAtTheCap) {
    struct Case {
        int height, width;
        int cappedHeight, cappedWidth;
    };
    const int cap = platform::MAX_FONT_PIXELS;
    const Case cases[] = {{100000, 16, cap, 16}, {32, 100000, 32, cap}, {1 << 30, 1 << 30, cap, cap}};
    initgraph(2200, 1100, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.height << " x " << c.width);
        RECT box{0, 0, 2200, 1100};
        useFont(c.cappedHeight, c.cappedWidth);
        draw("战", box);
        std::vector<uint32_t> capped = frameNow();
        useFont(c.height, c.width);
        draw("战", box);
        EXPECT_TRUE(frameNow() == capped);
        size_t inked = capped.size() - (size_t)std::count(capped.begin(), capped.end(), 0u);
        EXPECT_GT(inked, (size_t)c.cappedHeight * 4) << "the glyph shows whole";
        EXPECT_LE(textCacheStats().bytes, textCacheStats().budget);
    }
}

} // namespace
