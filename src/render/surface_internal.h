// Pieces of the graphics surface shared between its own files.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "render/surface.h"

// A number never handed out before, for Surface::generation: a picture whose pixels change, or a
// new picture in the place of an old one, is never taken for what was drawn before.
unsigned nextGeneration();

// Records the opaque runs of every row for keyed copies with `key`, and whether the picture is
// fully opaque.
void computeKeyedRuns(Surface& s, uint32_t key);

// What decoding one picture may take by default: the file and the decoder's work together.
constexpr size_t PICTURE_MEMORY_LIMIT = size_t(160) << 20;

// loadimage with a limit on the memory decoding may take (see platform::decodePng); on failure
// says why in `error` (the decoder's own reason for a damaged file).
bool loadPicture(IMAGE* dst, const char* file, int width, int height, size_t memoryLimit, std::string& error);

// Text laid out with the DrawText rules (centred lines, word breaks, first line at the top,
// clipped at the box's bottom) in a box of boxWidth x boxHeight pixels, as coverage values 0..255
// of a window of that box: the mask's width x height pixels from (x, y) of the box.
struct TextMask {
    long long x = 0;
    long long y = 0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;
    // Each inked row's stretch from its first to its last inked pixel, so that drawing skips the
    // empty rows and margins of the window.
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

// The part of a box to rasterise, from (x, y) of the box; kept within the box.
struct TextWindow {
    long long x = 0;
    long long y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TextWindow&) const = default;
};

// Cached: the same text in the same style, box and window costs a lookup after the first time.
// The mask stays valid until the next call.
const TextMask& layoutText(const std::string& gbk, const TextStyle& style, long long boxWidth, long long boxHeight,
                           const TextWindow& window);
// The whole box (for tests; drawing asks only for the part inside the frame).
const TextMask& layoutText(const std::string& gbk, const TextStyle& style, long long boxWidth, long long boxHeight);

// Line breaking, exposed for tests: the lines (as code points) the text breaks into for a box
// `boxWidth` pixels wide.
std::vector<std::u32string> breakLines(const std::string& gbk, const TextStyle& style, int boxWidth);
// The width in pixels of one of those lines as it is laid out.
long long lineWidth(const std::u32string& line, const TextStyle& style);

// The text caches (sized faces, glyphs and masks together): the bytes they hold, their budget, and
// how many masks have been laid out so far (a lookup that finds its mask lays out none).
struct TextCacheStats {
    size_t bytes = 0;
    size_t budget = 0;
    size_t layouts = 0;
};
TextCacheStats textCacheStats();
// Empties the text caches, so that a fuzz target or test case does not depend on what earlier
// ones laid out. The count of layouts goes on.
void clearTextCache();

// Sees every text drawtext is given, as it is given, with its box and style: tests watch what the
// game writes with it. Null (the default) watches nothing.
using TextObserver = std::function<void(const std::string& gbk, const RECT& box, const TextStyle& style)>;
void setTextObserver(TextObserver observer);

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
