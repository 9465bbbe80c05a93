// The glyph source: a face looked up by name and sized, and the coverage and placement of its
// glyphs. Each system has its own file behind this (fontconfig and FreeType on Linux); laying text
// out and caching it is shared code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Font sizes are capped at the height of the tallest window the game opens (1024 pixels, 32 times
// its largest font): no line can be taller than the window, and one glyph's coverage stays within
// about 2048 x 2048 bytes even at the widest width (a full-width character is twice the width).
constexpr int MAX_FONT_PIXELS = 1024;

// A face as text asks for it: the family name (GBK), the character cell's height in pixels, the
// average character width (0: the face's natural width for that height) and bold or not. Sizes
// are capped to 1..MAX_FONT_PIXELS (width 0..MAX_FONT_PIXELS).
struct FaceRequest {
    std::string gbkName;
    int height = 0;
    int width = 0;
    bool bold = false;
};

struct FaceMetrics {
    int lineHeight = 0; // from one line's top to the next one's
    int ascent = 0;     // from a line's top to its baseline
};

// A box of glyph pixels relative to the pen on the baseline: `left` pixels to the right of it and
// `top` pixels above it (y grows downwards within the box).
struct GlyphBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
};

// What line breaking and clipping need, without drawing the glyph: how far the pen moves, and a
// box the glyph's coverage lies within (possibly a little larger than the coverage itself).
struct GlyphMetrics {
    int advance = 0;
    GlyphBox ink;
};

// A drawn glyph: coverage 0..255, `box.width` per row, `box.rows` rows.
struct GlyphImage {
    int advance = 0;
    GlyphBox box;
    std::vector<uint8_t> coverage;
};

// One face at one size and weight; each system's glyph file defines it.
struct Face;
struct FaceCloser {
    void operator()(Face* face) const;
};
using FaceHandle = std::unique_ptr<Face, FaceCloser>;

// The face by name, asking for Chinese so that an installed Chinese face stands in when that one
// is missing. Null only when no face can be found at all (said once on standard error).
FaceHandle openFace(const FaceRequest& request);
FaceMetrics faceMetrics(const Face& face);
// A character the face cannot draw gives an empty glyph that does not move the pen.
GlyphMetrics glyphMetrics(Face& face, char32_t c);
GlyphImage renderGlyph(Face& face, char32_t c);
// The memory the system holds for the face (its tables, size and hinting state, last glyph), for
// the text caches' budget; it may change after glyphs are drawn.
size_t faceBytes(const Face& face);

} // namespace platform
