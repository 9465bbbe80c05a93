// The glyph source, whichever system's it is: what the shared layout relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/glyphs.h"

namespace {

using namespace platform;

bool inked(const GlyphImage& g) {
    return std::any_of(g.coverage.begin(), g.coverage.end(), [](uint8_t a) { return a != 0; });
}

testing::Message character(char32_t c) { return testing::Message() << "U+" << std::hex << (unsigned)c; }

// The stand-in face draws Chinese, and the game's digits and Latin letters on the Chinese text's
// lines too (a face of Chinese alone lacks them).
TEST(GlyphSource, AFaceThatIsNotInstalledGivesWayToAChineseFace) {
    FaceHandle face = openFace({"没有这种字体", 32, 16, true});
    ASSERT_TRUE(face);
    // A face without Chinese would draw the same empty box for both.
    EXPECT_NE(renderGlyph(*face, U'战').coverage, renderGlyph(*face, U'牌').coverage);
    const FaceMetrics line = faceMetrics(*face);
    for (char32_t c : std::u32string(U"战0123456789AZaz+%×")) {
        GlyphImage g = renderGlyph(*face, c);
        EXPECT_TRUE(g.advance > 0 && inked(g)) << character(c);
        EXPECT_LE(g.box.top, line.ascent) << character(c);
        EXPECT_GE(g.box.top - g.box.rows, line.ascent - line.lineHeight) << character(c);
    }
}

// At every size and weight: the line height asked for; measured glyphs as drawn (line breaking
// measures without drawing and leaves out glyphs whose ink box misses what is wanted); and a
// width makes a full-width character twice as wide, whatever average the face declares (bold
// adds its stroke on top).
TEST(GlyphSource, MeasuredGlyphsMatchDrawnOnesAtEverySize) {
    const int sizes[][2] = {{1, 0}, {8, 4}, {16, 8}, {24, 8}, {32, 16}, {32, 24}, {32, 0}, {48, 24}, {57, 40}, {300, 150}};
    for (const auto& [height, width] : sizes)
        for (bool bold : {false, true}) {
            FaceHandle face = openFace({"幼圆", height, width, bold});
            ASSERT_TRUE(face);
            EXPECT_EQ(faceMetrics(*face).lineHeight, height);
            for (char32_t c : std::u32string(U"战，。】A gjW.…%1（")) {
                SCOPED_TRACE(character(c) << " at " << height << " x " << width << (bold ? " bold" : ""));
                GlyphMetrics m = glyphMetrics(*face, c);
                GlyphImage g = renderGlyph(*face, c);
                EXPECT_EQ(m.advance, g.advance);
                if (c == U'战' && width > 0 && !bold) {
                    EXPECT_NEAR(m.advance, 2 * width, 1);
                }
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
    const int M = MAX_FONT_PIXELS;
    const int cases[][4] = {{100000, 16, M, 16}, {40, 1 << 30, 40, M}, {M + 1, M + 1, M, M}}; // asked, capped
    for (const auto& [height, width, cappedHeight, cappedWidth] : cases) {
        SCOPED_TRACE(testing::Message() << height << " x " << width);
        FaceHandle asked = openFace({"幼圆", height, width, true}), capped = openFace({"幼圆", cappedHeight, cappedWidth, true});
        ASSERT_TRUE(asked && capped);
        EXPECT_EQ(faceMetrics(*asked).lineHeight, cappedHeight);
        GlyphImage big = renderGlyph(*asked, U'战'), same = renderGlyph(*capped, U'战');
        EXPECT_TRUE(inked(big));
        EXPECT_EQ(big.advance, same.advance);
        EXPECT_TRUE(big.coverage == same.coverage) << "drawn as at the cap";
    }
}

// A character no face has is an empty glyph that does not move the pen, and so is one beyond the
// first plane (GBK text cannot hold it).
TEST(GlyphSource, CharactersNoFaceHasDrawNothingAndTakeNoRoom) {
    FaceHandle face = openFace({"幼圆", 32, 16, false});
    ASSERT_TRUE(face);
    for (char32_t c : {(char32_t)0x0378, (char32_t)0x10FFFD, (char32_t)0x1F0A1}) {
        GlyphImage g = renderGlyph(*face, c);
        EXPECT_EQ(g.advance, 0) << character(c);
        EXPECT_TRUE(g.coverage.empty()) << character(c);
        EXPECT_EQ(glyphMetrics(*face, c).advance, 0) << character(c);
    }
}

// Full coverage is 255, and the rows of a solid square are alike, at widths whatever their
// remainder by four (the rows a system hands over may be padded).
TEST(GlyphSource, ASolidSquareIsFullyCoveredAndSquareAtEverySize) {
    for (int height = 20; height <= 27; ++height) {
        FaceHandle face = openFace({"幼圆", height, 0, false});
        ASSERT_TRUE(face);
        GlyphImage g = renderGlyph(*face, U'■');
        const int w = g.box.width, rows = g.box.rows;
        ASSERT_TRUE(w >= 6 && rows >= 6) << height;
        auto at = [&](int x, int y) { return g.coverage[(size_t)y * w + x]; };
        EXPECT_EQ(at(w / 2, rows / 2), 255) << height;
        for (int y = 2; y < rows - 2; ++y)
            for (int x = 0; x < w; ++x) ASSERT_EQ(at(x, y), at(x, rows / 2)) << height << ": (" << x << ", " << y << ")";
    }
}

// The face asked for is the face used where it is installed: the two faces of the Chinese font
// the project installs, told apart by their Latin letters (all one width in the monospaced one).
TEST(GlyphSource, TheFaceAskedForIsUsedWhereInstalled) {
    FaceHandle mono = openFace({"WenQuanYi Micro Hei Mono", 32, 0, false}), prop = openFace({"WenQuanYi Micro Hei", 32, 0, false});
    ASSERT_TRUE(mono && prop);
    EXPECT_GT(glyphMetrics(*mono, U'i').advance, 0);
    EXPECT_EQ(glyphMetrics(*mono, U'i').advance, glyphMetrics(*mono, U'W').advance) << "the monospaced face";
    EXPECT_LT(glyphMetrics(*prop, U'i').advance, glyphMetrics(*prop, U'W').advance) << "the proportional face";
}

} // namespace
