#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/surface.h"
#include "render/surface_internal.h"
#include "support/small_frame.h"

namespace headless = platform::headless;

namespace {

using Surface_ = testing_support::SmallFrameTest;

// Keyed copies by the masked block copy and by the opaque runs.
class KeyedCopy_ : public Surface_, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        Surface_::SetUp();
        useMaskedCopies(GetParam());
    }
    void TearDown() override { useMaskedCopies(true); }
};
INSTANTIATE_TEST_SUITE_P(BothWays, KeyedCopy_, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Masked" : "ByRuns"; });

TEST_P(KeyedCopy_, KeyColourIsSkippedExactlyAndItsNeighbourIsDrawn) {
    IMAGE back = solid(64, 48, 0x102030);
    IMAGE pic = solid(3, 1, 0);
    pic.surface.pixels = {0x7F7F7F, 0x7F7F80, 0x7E7F7F};
    computeKeyedRuns(pic.surface, KEY_COLOUR);
    blit(back, 0, 0);
    blit(pic, 10, 10);
    FlushBatchDraw();
    EXPECT_EQ(headless::pixel(10, 10), 0x102030u) << "(127,127,127) is never drawn";
    EXPECT_EQ(headless::pixel(11, 10), 0x7F7F80u) << "(127,127,128) is drawn opaque";
    EXPECT_EQ(headless::pixel(12, 10), 0x7E7F7Fu);
}

TEST_P(KeyedCopy_, KeyedCopiesAreClippedToTheFrameOnEverySide) {
    IMAGE pic = solid(10, 10, 0xABCDEF);
    pic.surface.pixels[5 * 10 + 5] = KEY_COLOUR;
    computeKeyedRuns(pic.surface, KEY_COLOUR);
    blit(pic, -5, -5);  // top left corner
    blit(pic, 59, 43);  // bottom right corner
    blit(pic, 100, 0);  // wholly outside
    blit(pic, -20, 20); // wholly outside
    FlushBatchDraw();
    EXPECT_EQ(headless::pixel(0, 0), 0u) << "the key hole at (5, 5) of the picture lands on the corner";
    EXPECT_EQ(headless::pixel(64, 47), 0u) << "outside the frame reads as nothing";
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            // Only the visible parts of the two corner copies, nothing beside them.
            bool drawn = (x < 5 && y < 5 && (x || y)) || (x >= 59 && y >= 43);
            EXPECT_EQ(headless::pixel(x, y), drawn ? 0xABCDEFu : 0u) << "at (" << x << ", " << y << ")";
        }
}

TEST_F(Surface_, NothingIsVisibleBeforeTheFlushAndAnIdenticalFrameIsStillCounted) {
    IMAGE back = solid(64, 48, 0x445566);
    blit(back, 0, 0);
    EXPECT_EQ(headless::flushCount(), 0);
    EXPECT_EQ(headless::pixel(1, 1), 0u);
    FlushBatchDraw();
    EXPECT_EQ(headless::pixel(1, 1), 0x445566u);
    IMAGE dot = solid(1, 1, 0xFF0000);
    blit(back, 0, 0);
    blit(dot, 1, 1);
    FlushBatchDraw();
    EXPECT_EQ(headless::pixel(1, 1), 0xFF0000u);
    blit(back, 0, 0);
    blit(dot, 1, 1);
    FlushBatchDraw();
    EXPECT_EQ(headless::flushCount(), 3);
    EXPECT_EQ(headless::pixel(1, 1), 0xFF0000u);
    blit(back, 0, 0);
    FlushBatchDraw();
    EXPECT_EQ(headless::pixel(1, 1), 0x445566u) << "a frame that differs again is drawn again";
}

TEST_F(Surface_, DrawingOnTopAfterAFlushKeepsThePreviousFrameUnderneath) {
    // A redraw nested inside a frame flushes; the outer frame then goes on drawing on top.
    IMAGE back = solid(64, 48, 0x111111);
    IMAGE mark = solid(2, 2, 0x00FF00);
    blit(back, 0, 0);
    FlushBatchDraw();
    blit(mark, 5, 5);
    FlushBatchDraw();
    EXPECT_EQ(headless::pixel(5, 5), 0x00FF00u);
    EXPECT_EQ(headless::pixel(20, 20), 0x111111u);
}

TEST_F(Surface_, MouseInRectIncludesItsBoundsAndIgnoresItsThirdArgument) {
    headless::setPointer(112, 112);
    EXPECT_TRUE(mouseInRect(0, 0, 82, 112, 1.0)) << "right and bottom bounds are inside";
    headless::setPointer(113, 50);
    EXPECT_FALSE(mouseInRect(0, 0, 82, 112, 1.0)) << "one pixel beyond is outside";
    headless::setPointer(50, 113);
    EXPECT_FALSE(mouseInRect(0, 0, 82, 112, 1.0));
    for (int x : {-1, 0, 41, 82, 100, 112, 113})
        for (int y : {-1, 0, 56, 112, 113}) {
            headless::setPointer(x, y);
            EXPECT_EQ(mouseInRect(0, 0, 82, 112, 0.75), mouseInRect(0, 0, 0, 112, 0.75)) << x << "," << y;
        }
    // The hand strip: the whole window from y = 850 down, x 0 to 1312.
    headless::setPointer(1312, 2162);
    EXPECT_TRUE(mouseInRect(0, 850, 174, 1312, 1.0));
    headless::setPointer(0, 849);
    EXPECT_FALSE(mouseInRect(0, 850, 174, 1312, 1.0));
    // Compared in double: 1142 * 0.75 = 856.5, so pixel 856 is not yet inside.
    headless::setPointer(856, 900);
    EXPECT_FALSE(mouseInRect(1142, 0, 0, 2000, 0.75));
    headless::setPointer(857, 900);
    EXPECT_TRUE(mouseInRect(1142, 0, 0, 2000, 0.75));
}

TEST_F(Surface_, TextStyleRoundTripsThroughLogfont) {
    settextstyle(20, 0, "幼圆");
    LOGFONT f;
    gettextstyle(&f);
    EXPECT_EQ(f.lfHeight, 20);
    EXPECT_EQ(f.lfWidth, 0);
    EXPECT_EQ(std::string(f.lfFaceName), "幼圆");
    f.lfWeight = 1000;
    f.lfQuality = ANTIALIASED_QUALITY;
    settextstyle(&f);
    settextstyle(32, 16, "幼圆"); // the face-only form keeps the other fields
    LOGFONT g;
    gettextstyle(&g);
    EXPECT_EQ(g.lfWeight, 1000);
    EXPECT_EQ(g.lfQuality, ANTIALIASED_QUALITY);
    EXPECT_EQ(g.lfHeight, 32);
}

// The card descriptions: a 260 x 140 box with the 32-unit font holds four lines; a fifth is cut.
TEST_F(Surface_, ChineseTextWrapsIntoTheBoxAndIsClippedAtItsBottom) {
    initgraph(400, 300, 0);
    TextStyle style{32, 16, 1000, "幼圆"};
    std::string longText = "对一个敌人造成九点伤害，然后在你的回合结束时获得圣盾并召唤四个触手，重复四次直到战场被填满为止";
    auto lines = breakLines(longText, style, 260);
    ASSERT_GE(lines.size(), 5u) << "the text needs more than four lines";
    for (const auto& line : lines) EXPECT_LE(line.size(), 9u) << "a line wider than the box";
    // Closing punctuation never starts a line.
    for (const auto& line : lines) EXPECT_NE(line.front(), U'，');

    settextcolor(WHITE);
    LOGFONT font{32, 16, 1000, ANTIALIASED_QUALITY, "幼圆"};
    settextstyle(&font);
    RECT box{20, 20, 280, 160};
    drawtext(longText.c_str(), &box, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
    FlushBatchDraw();
    auto rowHasInk = [](int y) {
        for (int x = 0; x < 400; ++x)
            if (headless::pixel(x, y) != 0) return true;
        return false;
    };
    auto bandHasInk = [&](int from, int to) {
        for (int y = from; y < to; ++y)
            if (rowHasInk(y)) return true;
        return false;
    };
    for (int line = 0; line < 4; ++line)
        EXPECT_TRUE(bandHasInk(20 + line * 32, 20 + line * 32 + 32)) << "line " << line + 1 << " is drawn";
    EXPECT_FALSE(bandHasInk(160, 300)) << "nothing below the box";
    for (int y = 0; y < 300; ++y)
        for (int x : {0, 19, 281, 399}) EXPECT_EQ(headless::pixel(x, y), 0u) << "nothing beside the box";
}

// At each rate's font size. Widths are measured from the font (the ink of three copies less that
// of two is one advance), so the fit is exact whatever glyphs are installed.
TEST_F(Surface_, ALineExactlyAsWideAsItsBoxStaysOneLine) {
    auto copies = [](int n) {
        std::string text;
        for (int i = 0; i < n; ++i) text += "国";
        return text;
    };
    for (double rate : {0.5, 0.75, 1.0}) {
        SCOPED_TRACE(rate);
        TextStyle style{(int)(32 * rate), (int)(16 * rate), 1000, "幼圆"};
        auto inkWidth = [&](int n) {
            const TextMask& mask = layoutText(copies(n), style, 1000, 2 * style.height);
            int left = mask.width, right = 0;
            for (const TextMask::Span& span : mask.spans) {
                left = std::min(left, span.x);
                right = std::max(right, span.x + span.length);
            }
            return right - left;
        };
        int advance = inkWidth(3) - inkWidth(2);
        ASSERT_GT(advance, 0);
        EXPECT_EQ(breakLines(copies(4), style, 4 * advance).size(), 1u) << "exactly as wide as the box";
        EXPECT_EQ(breakLines(copies(4), style, 4 * advance - 1).size(), 2u) << "a pixel wider than the box";
    }
}

TEST_F(Surface_, LatinWordsStayWholeAndLinesAreCentred) {
    TextStyle style{32, 16, 1000, "幼圆"};
    auto lines = breakLines("alpha beta gamma", style, 120);
    ASSERT_GE(lines.size(), 2u);
    for (const auto& line : lines)
        EXPECT_TRUE(line == U"alpha" || line == U"beta" || line == U"gamma" || line == U"alpha beta" ||
                    line == U"beta gamma")
            << "a word was split";
    initgraph(200, 40, 0);
    settextcolor(WHITE);
    RECT box{0, 0, 200, 40};
    drawtext("11", &box, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
    FlushBatchDraw();
    int left = 200, right = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            if (headless::pixel(x, y) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_GE(right, left);
    EXPECT_NEAR((left + right) / 2.0, 100.0, 4.0) << "a single line sits in the middle of the box";
}

} // namespace

namespace {

// Every way of blending text this processor runs gives the exact per-channel result, for every
// length of stretch (their tails differ).
TEST(TextBlending, EveryWayGivesTheExactMixForEveryLength) {
    auto reference = [](uint32_t p, uint8_t a, uint32_t c) {
        uint32_t w = a + (a >> 7), out = 0;
        for (int shift : {0, 8, 16}) out |= (((p >> shift & 0xFF) * (256 - w) + (c >> shift & 0xFF) * w) >> 8) << shift;
        return out;
    };
    std::vector<BlendSpan> ways = textBlenders();
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u; };
    for (auto blend : ways)
        for (int n = 0; n <= 19; ++n) {
            std::vector<uint32_t> pixels(n + 2), expected;
            std::vector<uint8_t> coverage(n);
            for (uint32_t& p : pixels) p = next() & 0xFFFFFF;
            for (int i = 0; i < n; ++i) coverage[i] = i % 4 == 0 ? 255 : i % 4 == 1 ? 0 : next() >> 24;
            uint32_t colour = next() & 0xFFFFFF;
            for (int i = 0; i < n; ++i) expected.push_back(reference(pixels[i + 1], coverage[i], colour));
            uint32_t before = pixels[0], after = pixels[n + 1];
            blend(pixels.data() + 1, coverage.data(), n, colour);
            for (int i = 0; i < n; ++i) EXPECT_EQ(pixels[i + 1], expected[i]) << "length " << n << ", pixel " << i;
            EXPECT_EQ(pixels[0], before) << "nothing before the stretch";
            EXPECT_EQ(pixels[n + 1], after) << "nothing after the stretch, length " << n;
        }
}

// The masked block copy draws exactly the pixels that are not the key, for every width (its last
// sixteen pixels of a row go under a mask), and nothing beside or between the rows.
TEST(KeyedBlockCopy, DrawsEveryPixelButTheKeyAndNothingElse) {
    KeyedBlockCopy copy = keyedBlockCopier();
    if (!copy) GTEST_SKIP() << "this processor has no 64-byte vectors with masked stores";
    const uint32_t key = 0x7F7F7F, background = 0x102030;
    uint32_t seed = 777;
    auto next = [&] { return seed = seed * 1103515245u + 12345u; };
    for (int width = 1; width <= 35; ++width) {
        const int rows = 3, outStride = 48, inStride = 40;
        std::vector<uint32_t> in(rows * inStride), out(rows * outStride + 8, background);
        for (uint32_t& p : in) p = next() % 3 == 0 ? key : next() & 0xFFFFFF;
        copy(out.data() + 2, outStride, in.data(), inStride, width, rows, key);
        for (int y = 0; y < rows; ++y)
            for (int x = -2; x < outStride - 2; ++x) {
                uint32_t got = out[2 + y * outStride + x];
                bool inside = x >= 0 && x < width;
                uint32_t want = inside && in[y * inStride + x] != key ? in[y * inStride + x] : background;
                EXPECT_EQ(got, want) << "width " << width << ", row " << y << ", column " << x;
            }
    }
}

} // namespace
