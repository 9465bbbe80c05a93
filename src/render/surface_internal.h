// Pieces of the graphics surface shared between its own files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/surface.h"

// A number never handed out before, for Surface::generation: a picture whose pixels change, or a
// new picture in the place of an old one, is never taken for what was drawn before.
unsigned nextGeneration();

// Records the opaque runs of every row for keyed copies with `key`, and whether the picture is
// fully opaque.
void computeKeyedRuns(Surface& s, uint32_t key);

// Text laid out with the DrawText rules (centred lines, word breaks, first line at the top) in a
// box of boxWidth x boxHeight pixels, as coverage values 0..255 of that box.
struct TextMask {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;
    // Each inked row's stretch from its first to its last inked pixel, so that drawing skips the
    // empty rows and margins of the box.
    struct Span {
        int y, x, length;
    };
    std::vector<Span> spans;
};

struct TextStyle {
    int height = 0;
    int width = 0;
    int weight = 400;
    std::string face; // GBK
    bool operator==(const TextStyle&) const = default;
};

// Cached: the same text in the same style and box costs a lookup after the first time.
const TextMask& layoutText(const std::string& gbk, const TextStyle& style, int boxWidth, int boxHeight);

// Line breaking, exposed for tests: the lines (as code points) the text breaks into for a box
// `boxWidth` pixels wide.
std::vector<std::u32string> breakLines(const std::string& gbk, const TextStyle& style, int boxWidth);

// Draws what was recorded for the window frame into its pixels now, without presenting it
// (FlushBatchDraw does this before presenting; benchmarks measure it alone).
void drawRecordedFrame();

// Blends n pixels of text colour over `out` by their coverage (0 leaves a pixel, 255 replaces it).
// The ways differ only in how many pixels they take at once, which the processor decides.
void blendTextPairs(uint32_t* out, const uint8_t* coverage, int n, uint32_t colour);
void blendTextQuads(uint32_t* out, const uint8_t* coverage, int n, uint32_t colour);   // needs AVX2
void blendTextOctets(uint32_t* out, const uint8_t* coverage, int n, uint32_t colour);  // needs AVX-512BW/VL
using BlendSpan = void (*)(uint32_t*, const uint8_t*, int, uint32_t);
// The ways this processor can run, fastest last; drawing uses the last.
std::vector<BlendSpan> textBlenders();

// Copies the pixels of a block of picture rows that are not `key`, sixteen at a time where the
// processor has 64-byte vectors with masked stores; keyedBlockCopier gives it, or null where
// drawing keeps to the precomputed opaque runs.
void copyKeyedBlockMasked(uint32_t* out, int outStride, const uint32_t* in, int inStride, int width, int rows,
                          uint32_t key);
using KeyedBlockCopy = void (*)(uint32_t*, int, const uint32_t*, int, int, int, uint32_t);
KeyedBlockCopy keyedBlockCopier();
// Draws keyed copies with the masked block copy when the processor has it (the default), or by
// the opaque runs: tests check both ways on a processor that has both.
void useMaskedCopies(bool on);
