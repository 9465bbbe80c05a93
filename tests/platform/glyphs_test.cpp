// The glyph source, whichever system's it is: what the shared layout relies on.
#include <gtest/gtest.h>

#include <string>
#include <utility>

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

// A width is the average character width, a full-width character taking two: the card texts are
// laid out for that, whatever average the face itself declares. (Bold adds its stroke on top.)
TEST(GlyphSource, AWidthMakesAFullWidthCharacterTwiceAsWide) {
    struct Case {
        int height, width;
    };
    const Case cases[] = {{32, 16}, {16, 8}, {24, 12}, {48, 24}, {32, 24}, {24, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.height << " x " << c.width);
        FaceHandle face = openFace({"幼圆", c.height, c.width, false});
        ASSERT_TRUE(face);
        for (char32_t hanzi : {U'中', U'战', U'牌'}) EXPECT_NEAR(glyphMetrics(*face, hanzi).advance, 2 * c.width, 1);
    }
}

// The game's numbers and Latin text are drawn even where the Chinese face stands in for one that
// is missing (a face of Chinese alone lacks them).
TEST(GlyphSource, DigitsAndLatinLettersAreDrawn) {
    FaceHandle face = openFace({"没有这种字体", 32, 16, true});
    ASSERT_TRUE(face);
    for (char32_t c : std::u32string(U"0123456789AZaz+%×")) {
        SCOPED_TRACE(testing::Message() << "U+" << std::hex << (unsigned)c);
        GlyphImage g = renderGlyph(*face, c);
        EXPECT_GT(g.advance, 0);
        EXPECT_TRUE(inked(g));
        // Standing on the baseline with the Chinese text: not above the line's top nor below its
        // bottom.
        EXPECT_LE(g.box.top, faceMetrics(*face).ascent);
        EXPECT_GE(g.box.top - g.box.rows, faceMetrics(*face).ascent - faceMetrics(*face).lineHeight);
    }
}

// A character no face has is an empty glyph that does not move the pen, and so is one beyond the
// first plane (GBK text cannot hold it).
TEST(GlyphSource, CharactersNoFaceHasDrawNothingAndTakeNoRoom) {
    FaceHandle face = openFace({"幼圆", 32, 16, false});
    ASSERT_TRUE(face);
    for (char32_t c : {(char32_t)0x0378, (char32_t)0x10FFFD, (char32_t)0x1F0A1}) {
        SCOPED_TRACE(testing::Message() << "U+" << std::hex << (unsigned)c);
        GlyphImage g = renderGlyph(*face, c);
        EXPECT_EQ(g.advance, 0);
        EXPECT_TRUE(g.coverage.empty());
        EXPECT_EQ(glyphMetrics(*face, c).advance, 0);
    }
}

// Full coverage is 255, and every row of a solid square is the same, at widths whatever their
// remainder by four (the rows a system hands over may be padded).
TEST(GlyphSource, ASolidSquareIsFullyCoveredAndSquareAtEverySize) {
    for (int height = 20; height <= 27; ++height) {
        SCOPED_TRACE(testing::Message() << "height " << height);
        FaceHandle face = openFace({"幼圆", height, 0, false});
        ASSERT_TRUE(face);
        GlyphImage g = renderGlyph(*face, U'■');
        ASSERT_GE(g.box.width, 6);
        ASSERT_GE(g.box.rows, 6);
        const int w = g.box.width, rows = g.box.rows;
        auto at = [&](int x, int y) { return g.coverage[(size_t)y * w + x]; };
        // The middle of the square is solid; the rows between its edges are alike.
        EXPECT_EQ(at(w / 2, rows / 2), 255);
        for (int y = 2; y < rows - 2; ++y)
            for (int x = 0; x < w; ++x) ASSERT_EQ(at(x, y), at(x, rows / 2)) << "at (" << x << ", " << y << ")";
    }
}

// The face asked for is the face used where it is installed: the two faces of the Chinese font
// the project installs, told apart by their Latin letters (all one width in the monospaced one).
TEST(GlyphSource, TheFaceAskedForIsUsedWhereInstalled) {
    auto narrowAndWide = [](const char* name) {
        FaceHandle face = openFace({name, 32, 0, false});
        EXPECT_TRUE(face) << name;
        return face ? std::pair{glyphMetrics(*face, U'i').advance, glyphMetrics(*face, U'W').advance}
                    : std::pair{0, 0};
    };
    auto [monoI, monoW] = narrowAndWide("WenQuanYi Micro Hei Mono");
    auto [propI, propW] = narrowAndWide("WenQuanYi Micro Hei");
    EXPECT_GT(monoI, 0);
    EXPECT_EQ(monoI, monoW) << "the monospaced face";
    EXPECT_LT(propI, propW) << "the proportional face";
}

} // namespace
