// The glyph source, whichever system's it is: what the shared layout relies on.
#include <gtest/gtest.h>

#include "platform/glyphs.h"

namespace {

using namespace platform;

bool inked(const GlyphImage& g) {
    for (uint8_t a : g.coverage)
        if (a) return true;
    return false;
}

TEST(GlyphSource, AFaceThatIsNotInstalledGivesWayToAChineseFace) {
    FaceHandle face = openFace({"没有这种字体", 32, 16, true});
    ASSERT_TRUE(face);
    // A face without Chinese would draw the same empty box for both.
    GlyphImage battle = renderGlyph(*face, U'战'), card = renderGlyph(*face, U'牌');
    EXPECT_TRUE(inked(battle));
    EXPECT_NE(battle.coverage, card.coverage) << "the stand-in face draws Chinese";
}

// Line breaking measures glyphs without drawing them and leaves out those whose ink box misses
// what is wanted: the measured advance must be the drawn one and the drawn pixels must lie in
// the ink box, at every size and weight.
TEST(GlyphSource, MeasuredGlyphsMatchDrawnOnes) {
    struct Size {
        int height, width;
    };
    const Size sizes[] = {{1, 0}, {8, 4}, {16, 8}, {24, 12}, {32, 16}, {32, 0}, {57, 40}, {300, 150}};
    const std::u32string chars = U"战，。】A gjW.…%1（";
    for (const Size& s : sizes)
        for (bool bold : {false, true}) {
            FaceHandle face = openFace({"幼圆", s.height, s.width, bold});
            ASSERT_TRUE(face);
            EXPECT_EQ(faceMetrics(*face).lineHeight, s.height);
            for (char32_t c : chars) {
                SCOPED_TRACE(testing::Message() << "height " << s.height << ", width " << s.width << ", bold "
                                                << bold << ", U+" << std::hex << (unsigned)c);
                GlyphMetrics m = glyphMetrics(*face, c);
                GlyphImage g = renderGlyph(*face, c);
                EXPECT_EQ(m.advance, g.advance);
                ASSERT_EQ(g.coverage.size(), (size_t)g.box.width * g.box.rows);
                if (g.coverage.empty()) continue;
                EXPECT_LE(m.ink.left, g.box.left);
                EXPECT_GE(m.ink.left + m.ink.width, g.box.left + g.box.width);
                EXPECT_GE(m.ink.top, g.box.top);
                EXPECT_LE(m.ink.top - m.ink.rows, g.box.top - g.box.rows);
            }
        }
}

// Sizes beyond the cap are drawn at the cap, so that one glyph stays a few MiB at most.
TEST(GlyphSource, FontSizesAreCapped) {
    struct Case {
        int height, width;
        int cappedHeight, cappedWidth;
    };
    const Case cases[] = {
        {100000, 16, MAX_FONT_PIXELS, 16},
        {40, 1 << 30, 40, MAX_FONT_PIXELS},
        {MAX_FONT_PIXELS + 1, MAX_FONT_PIXELS + 1, MAX_FONT_PIXELS, MAX_FONT_PIXELS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.height << " x " << c.width);
        FaceHandle asked = openFace({"幼圆", c.height, c.width, true});
        FaceHandle capped = openFace({"幼圆", c.cappedHeight, c.cappedWidth, true});
        ASSERT_TRUE(asked && capped);
        EXPECT_EQ(faceMetrics(*asked).lineHeight, c.cappedHeight);
        GlyphImage big = renderGlyph(*asked, U'战');
        EXPECT_TRUE(inked(big));
        EXPECT_LE(big.box.width, 2 * MAX_FONT_PIXELS);
        EXPECT_LE(big.box.rows, 2 * MAX_FONT_PIXELS);
        GlyphImage same = renderGlyph(*capped, U'战');
        EXPECT_EQ(big.advance, same.advance);
        EXPECT_TRUE(big.coverage == same.coverage) << "drawn as at the cap";
    }
}

} // namespace
