// The window frame, keyed copies, text state and pointer tests.
//
// Drawing into the window frame is recorded and carried out at FlushBatchDraw, the only moment a
// frame becomes visible. The game redraws its screen from scratch every 10 ms, and most of those
// frames are the same or differ only in a few places (a hover preview, a marker, a card in
// flight). So when a frame starts with an opaque full-window picture, as every screen does, its
// drawing is compared with the previous frame's: an identical frame is neither drawn again nor
// sent to the window, and otherwise only the regions touched by drawing that differs are drawn
// again, everything else being already in the frame's pixels.
#include <algorithm>
#include <climits>
#include <cstring>

// The wider ways of copying and blending use x86's vector instructions, chosen at run time where
// the processor has them. Elsewhere (WebAssembly in the browser, ARM) the portable ways do it all.
#if defined(__x86_64__) || defined(__i386__)
#define X86_VECTORS 1
#include <immintrin.h>
#endif

#include "render/surface.h"
#include "render/surface_internal.h"

unsigned nextGeneration() {
    static unsigned last = 0;
    return ++last;
}

IMAGE::IMAGE(int width, int height) {
    surface.generation = nextGeneration();
    surface.width = std::max(0, width);
    surface.height = std::max(0, height);
    surface.pixels.assign((size_t)surface.width * surface.height, 0);
}

#ifdef X86_VECTORS
// Masked stores write only the pixels that are not the key, sixteen at a time, with no test per
// pixel and no run table: cheaper than copying a picture's runs one by one.
__attribute__((target("avx512f"))) void copyKeyedBlockMasked(uint32_t* out, int outStride, const uint32_t* in,
                                                            int inStride, int width, int rows, uint32_t key) {
    const __m512i k = _mm512_set1_epi32((int)key);
    const int whole = width & ~15;
    const __mmask16 tail = (__mmask16)((1u << (width - whole)) - 1);
    for (; rows > 0; --rows, out += outStride, in += inStride) {
        for (int x = 0; x < whole; x += 16) {
            __m512i v = _mm512_loadu_si512(in + x);
            _mm512_mask_storeu_epi32(out + x, _mm512_cmpneq_epi32_mask(v, k), v);
        }
        __m512i v = _mm512_maskz_loadu_epi32(tail, in + whole);
        _mm512_mask_storeu_epi32(out + whole, _mm512_mask_cmpneq_epi32_mask(tail, v, k), v);
    }
}

KeyedBlockCopy keyedBlockCopier() { return __builtin_cpu_supports("avx512f") ? copyKeyedBlockMasked : nullptr; }
#else
KeyedBlockCopy keyedBlockCopier() { return nullptr; }
#endif

static KeyedBlockCopy keyedBlockCopy = keyedBlockCopier();

void useMaskedCopies(bool on) { keyedBlockCopy = on ? keyedBlockCopier() : nullptr; }

namespace {

struct DrawCommand {
    enum Kind { BLIT, TEXT } kind = BLIT;
    // BLIT
    const Surface* src = nullptr;
    unsigned generation = 0;
    int dx = 0, dy = 0, dw = 0, dh = 0, sx = 0, sy = 0, sw = 0, sh = 0;
    uint32_t key = 0;
    // TEXT
    std::string text;
    TextStyle style;
    RECT rect;
    uint32_t colour = 0;

    bool operator==(const DrawCommand& o) const {
        if (kind != o.kind) return false;
        if (kind == BLIT)
            return src == o.src && generation == o.generation && dx == o.dx && dy == o.dy && dw == o.dw &&
                   dh == o.dh && sx == o.sx && sy == o.sy && sw == o.sw && sh == o.sh && key == o.key;
        return colour == o.colour && rect.left == o.rect.left && rect.top == o.rect.top &&
               rect.right == o.rect.right && rect.bottom == o.rect.bottom && style == o.style && text == o.text;
    }
};

struct SurfaceState {
    IMAGE frame;
    bool batch = false;
    int bkMode = OPAQUE;
    LOGFONT font;
    COLORREF textColour = WHITE;
    std::vector<DrawCommand> pending;
    std::vector<DrawCommand> shown;
    bool shownValid = false;
};

SurfaceState& state() {
    static SurfaceState s;
    return s;
}

TextObserver& textObserver() {
    static TextObserver observer;
    return observer;
}

uint32_t toPixel(COLORREF c) { return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }

struct Clip {
    int x0, y0, x1, y1;
    bool empty() const { return x0 >= x1 || y0 >= y1; }
};

Clip whole(const Surface& s) { return {0, 0, s.width, s.height}; }

Clip intersect(int x, int y, int w, int h, const Clip& bounds) {
    return {std::max(x, bounds.x0), std::max(y, bounds.y0), std::min(x + w, bounds.x1), std::min(y + h, bounds.y1)};
}

inline void copyRun(uint32_t* out, const uint32_t* in, int n) { std::memcpy(out, in, (size_t)n * 4); }

void blitNow(Surface& dst, const Clip& bounds, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy,
             int sw, int sh, uint32_t key) {
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    Clip c = intersect(dx, dy, dw, dh, bounds);
    if (c.empty()) return;
    bool sameSize = dw == sw && dh == sh;
    if (sameSize && key == src.runsKey && sx == 0 && sy == 0 && (int)src.rowRuns.size() == src.height + 1) {
        int lastRow = std::min(c.y1, dy + src.height);
        // A fully opaque picture is one block copy per row, which the runs give.
        if (keyedBlockCopy && !src.opaque) {
            int from = std::max(dx, c.x0), to = std::min(dx + std::min(dw, src.width), c.x1);
            if (from < to && c.y0 < lastRow)
                keyedBlockCopy(&dst.pixels[(size_t)c.y0 * dst.width + from], dst.width,
                               &src.pixels[(size_t)(c.y0 - dy) * src.width + (from - dx)], src.width, to - from,
                               lastRow - c.y0, key);
            return;
        }
        // Opaque runs, clipped to the destination: block copies.
        // (The runs span the picture's own width, which is the copy's unless the picture was
        // loaded again since the copy was asked for.)
        bool inside = dx >= c.x0 && dx + src.width <= c.x1;
        for (int y = c.y0; y < lastRow; ++y) {
            int row = y - dy;
            uint32_t* out = &dst.pixels[(size_t)y * dst.width];
            const uint32_t* in = &src.pixels[(size_t)row * src.width];
            const Surface::Run* r = src.keyedRuns.data() + src.rowRuns[row];
            const Surface::Run* end = src.keyedRuns.data() + src.rowRuns[row + 1];
            if (inside) {
                for (; r != end; ++r) copyRun(out + dx + r->x, in + r->x, r->length);
                continue;
            }
            for (; r != end; ++r) {
                int from = std::max(dx + r->x, c.x0), to = std::min(dx + r->x + r->length, c.x1);
                if (from < to) copyRun(out + from, in + (from - dx), to - from);
            }
        }
        return;
    }
    for (int y = c.y0; y < c.y1; ++y) {
        int srow = sy + (int)((long long)(y - dy) * sh / dh);
        if (srow < 0 || srow >= src.height) continue;
        uint32_t* out = &dst.pixels[(size_t)y * dst.width];
        const uint32_t* in = &src.pixels[(size_t)srow * src.width];
        for (int x = c.x0; x < c.x1; ++x) {
            int scol = sx + (int)((long long)(x - dx) * sw / dw);
            if (scol < 0 || scol >= src.width) continue;
            uint32_t p = in[scol];
            if (p != key) out[x] = p;
        }
    }
}

// Text is blended as sixteen-bit channels (blue, green, red, pad) with weights out of 256, so that
// full coverage gives exactly the text colour and none leaves the pixel as it was: two pixels at
// a time, or four where the processor has 32-byte vectors, with no test per pixel.
typedef uint8_t Bytes8 __attribute__((vector_size(8)));
typedef uint16_t Channels8 __attribute__((vector_size(16)));

} // namespace

void blendTextPairs(uint32_t* out, const uint8_t* coverage, int n, uint32_t colour) {
    uint16_t b = colour & 0xFF, g = colour >> 8 & 0xFF, r = colour >> 16 & 0xFF;
    const Channels8 ink = {b, g, r, 0, b, g, r, 0};
    for (int i = 0; i < n; i += 2) {
        bool pair = i + 1 < n;
        uint16_t w0 = coverage[i] + (coverage[i] >> 7);
        uint16_t w1 = pair ? coverage[i + 1] + (coverage[i + 1] >> 7) : 0;
        Channels8 w = {w0, w0, w0, w0, w1, w1, w1, w1};
        uint32_t two[2] = {out[i], pair ? out[i + 1] : 0};
        Bytes8 bytes;
        std::memcpy(&bytes, two, 8);
        Channels8 p = __builtin_convertvector(bytes, Channels8);
        p = (p * (256 - w) + ink * w) >> 8;
        bytes = __builtin_convertvector(p, Bytes8);
        std::memcpy(two, &bytes, 8);
        out[i] = two[0];
        if (pair) out[i + 1] = two[1];
    }
}

#ifdef X86_VECTORS
__attribute__((target("avx2"))) void blendTextQuads(uint32_t* out, const uint8_t* coverage, int n, uint32_t colour) {
    typedef uint8_t Bytes16 __attribute__((vector_size(16)));
    typedef uint16_t Channels16 __attribute__((vector_size(32)));
    uint16_t b = colour & 0xFF, g = colour >> 8 & 0xFF, r = colour >> 16 & 0xFF;
    const Channels16 ink = {b, g, r, 0, b, g, r, 0, b, g, r, 0, b, g, r, 0};
    const Bytes16 spread = {0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3};
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        Bytes16 cover = {};
        std::memcpy(&cover, coverage + i, 4);
        Channels16 w = __builtin_convertvector(__builtin_shuffle(cover, spread), Channels16);
        w += w >> 7;
        Bytes16 bytes;
        std::memcpy(&bytes, out + i, 16);
        Channels16 p = __builtin_convertvector(bytes, Channels16);
        p = (p * (256 - w) + ink * w) >> 8;
        bytes = __builtin_convertvector(p, Bytes16);
        std::memcpy(out + i, &bytes, 16);
    }
    for (; i < n; ++i) {
        uint32_t w = coverage[i] + (coverage[i] >> 7), inv = 256 - w, p = out[i];
        uint32_t rb = ((p & 0xFF00FF) * inv + (colour & 0xFF00FF) * w) >> 8 & 0xFF00FF;
        uint32_t gg = ((p & 0x00FF00) * inv + (colour & 0x00FF00) * w) >> 8 & 0x00FF00;
        out[i] = rb | gg;
    }
}

// Eight pixels at a time in 64-byte vectors; the masks of the last stretch keep it exact for any
// length with no pixel-by-pixel tail.
__attribute__((target("avx512bw,avx512vl"))) void blendTextOctets(uint32_t* out, const uint8_t* coverage, int n,
                                                                 uint32_t colour) {
    const __m512i ink = _mm512_cvtepu8_epi16(_mm256_set1_epi32((int)colour));
    const __m512i whole = _mm512_set1_epi16(256);
    // Each pixel's coverage, widened to a 64-bit lane, copied to its four 16-bit channels. (The
    // masked forms of the conversions below keep this compiler's headers free of warnings.)
    const __m512i spread = _mm512_set4_epi64((long long)0xFF08FF08FF08FF08, (long long)0xFF00FF00FF00FF00,
                                             (long long)0xFF08FF08FF08FF08, (long long)0xFF00FF00FF00FF00);
    for (int i = 0; i < n; i += 8) {
        __mmask8 m = n - i >= 8 ? (__mmask8)0xFF : (__mmask8)((1u << (n - i)) - 1);
        __m512i w = _mm512_shuffle_epi8(_mm512_maskz_cvtepu8_epi64(0xFF, _mm_maskz_loadu_epi8(m, coverage + i)), spread);
        w = _mm512_add_epi16(w, _mm512_srli_epi16(w, 7));
        __m512i p = _mm512_cvtepu8_epi16(_mm256_maskz_loadu_epi32(m, out + i));
        p = _mm512_add_epi16(_mm512_mullo_epi16(p, _mm512_sub_epi16(whole, w)), _mm512_mullo_epi16(ink, w));
        _mm256_mask_storeu_epi32(out + i, m, _mm512_maskz_cvtepi16_epi8(~0u, _mm512_srli_epi16(p, 8)));
    }
}

#endif

std::vector<BlendSpan> textBlenders() {
    std::vector<BlendSpan> ways{blendTextPairs};
#ifdef X86_VECTORS
    if (__builtin_cpu_supports("avx2")) ways.push_back(blendTextQuads);
    if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl")) ways.push_back(blendTextOctets);
#endif
    return ways;
}

namespace {

const BlendSpan blendSpan = textBlenders().back();

// Text boxes may be anything a caller passes. Their edges are taken within 2^40 pixels of the
// origin, far beyond any frame, so that sizes and centres never overflow.
constexpr long long FAR_EDGE = 1LL << 40;
long long edge(LONG v) { return std::clamp<long long>(v, -FAR_EDGE, FAR_EDGE); }

// The part of a text box inside `area`.
Clip textClip(const RECT& r, const Clip& area) {
    auto x = [&](LONG v) { return (int)std::clamp<long long>(v, area.x0, area.x1); };
    auto y = [&](LONG v) { return (int)std::clamp<long long>(v, area.y0, area.y1); };
    return {x(r.left), y(r.top), x(r.right), y(r.bottom)};
}

// Only the part of the box inside the frame is laid out into pixels (whatever the band being
// drawn, so that the cached mask serves every band); the lines are placed as in the whole box.
void textNow(Surface& dst, const Clip& bounds, const DrawCommand& t) {
    Clip c = textClip(t.rect, bounds);
    if (c.empty()) return;
    Clip seen = textClip(t.rect, whole(dst));
    long long left = edge(t.rect.left), top = edge(t.rect.top);
    TextWindow window{seen.x0 - left, seen.y0 - top, seen.x1 - seen.x0, seen.y1 - seen.y0};
    const TextMask& mask = layoutText(t.text, t.style, edge(t.rect.right) - left, edge(t.rect.bottom) - top, window);
    for (const TextMask::Span& span : mask.spans) {
        int y = seen.y0 + span.y;
        if (y < c.y0 || y >= c.y1) continue;
        int from = std::max(seen.x0 + span.x, c.x0);
        int to = std::min(seen.x0 + span.x + span.length, c.x1);
        uint32_t* out = &dst.pixels[(size_t)y * dst.width];
        if (from < to)
            blendSpan(out + from, &mask.coverage[(size_t)span.y * mask.width + (from - seen.x0)], to - from, t.colour);
    }
}

void execute(Surface& frame, const Clip& bounds, const DrawCommand& cmd) {
    if (cmd.kind == DrawCommand::BLIT)
        blitNow(frame, bounds, cmd.dx, cmd.dy, cmd.dw, cmd.dh, *cmd.src, cmd.sx, cmd.sy, cmd.sw, cmd.sh, cmd.key);
    else
        textNow(frame, bounds, cmd);
}

int saturated(LONG v) { return (int)std::clamp<long long>(v, INT_MIN, INT_MAX); }
int topOf(const DrawCommand& cmd) { return cmd.kind == DrawCommand::BLIT ? cmd.dy : saturated(cmd.rect.top); }
int bottomOf(const DrawCommand& cmd) {
    return cmd.kind == DrawCommand::BLIT ? cmd.dy + cmd.dh : saturated(cmd.rect.bottom);
}

// The part of `area` that `cmd` may change.
Clip reach(const DrawCommand& cmd, const Clip& area) {
    if (cmd.kind == DrawCommand::BLIT) return intersect(cmd.dx, cmd.dy, cmd.dw, cmd.dh, area);
    return textClip(cmd.rect, area);
}

// Drawing goes band by band of rows, each band about this many bytes of the frame, so that the
// pictures and text laid over a band find it still in the processor's cache.
constexpr int BAND_BYTES = 384 * 1024;

// Draws the recorded commands inside `area` only.
void rasterizeArea(Surface& frame, const std::vector<DrawCommand>& cmds, const Clip& area) {
    int rows = std::max(1, BAND_BYTES / std::max(1, (area.x1 - area.x0) * 4));
    for (int top = area.y0; top < area.y1; top += rows) {
        Clip band{area.x0, top, area.x1, std::min(area.y1, top + rows)};
        for (const DrawCommand& cmd : cmds)
            if (bottomOf(cmd) > band.y0 && topOf(cmd) < band.y1) execute(frame, band, cmd);
    }
}

// Draws what was recorded into the frame's pixels.
void rasterizePending() {
    SurfaceState& s = state();
    rasterizeArea(s.frame.surface, s.pending, whole(s.frame.surface));
}

// How far ahead a difference is looked past for the place where two frames agree again: more than
// the drawing of a large card view, which a hover adds or takes away in one piece.
constexpr size_t LOOKAHEAD = 48;

// Past this many differing commands the frame is simply drawn whole.
constexpr size_t MAX_CHANGES = 64;

// The regions of the frame that drawing `now` instead of `old` may change; false when there are
// too many to be worth finding. The commands both lists share, in the same order, draw the same
// pixels in both frames wherever nothing else is drawn, so only the bounds of the others count.
// They are found walking both lists and, at a difference, looking a little ahead in each for the
// nearest place where they agree again.
bool changedRegions(const std::vector<DrawCommand>& old, const std::vector<DrawCommand>& now, const Clip& frame,
                    std::vector<Clip>& regions) {
    regions.clear();
    auto changed = [&](const DrawCommand& cmd) {
        Clip c = reach(cmd, frame);
        if (!c.empty()) regions.push_back(c);
    };
    size_t i = 0, j = 0;
    while (i < old.size() && j < now.size()) {
        if (regions.size() > MAX_CHANGES) return false;
        if (old[i] == now[j]) {
            ++i, ++j;
            continue;
        }
        size_t added = 0, dropped = 0;
        for (size_t k = 1; k <= LOOKAHEAD && j + k < now.size() && !added; ++k)
            if (now[j + k] == old[i]) added = k;
        for (size_t k = 1; k <= LOOKAHEAD && i + k < old.size() && !dropped; ++k)
            if (old[i + k] == now[j]) dropped = k;
        if (added && (!dropped || added <= dropped)) {
            while (added--) changed(now[j++]);
        } else if (dropped) {
            while (dropped--) changed(old[i++]);
        } else {
            changed(old[i++]);
            changed(now[j++]);
        }
    }
    while (i < old.size()) changed(old[i++]);
    while (j < now.size()) changed(now[j++]);
    return regions.size() <= MAX_CHANGES;
}

// Merges overlapping regions until none overlap, so that no pixel is drawn twice.
void mergeRegions(std::vector<Clip>& regions) {
    for (bool merged = true; merged;) {
        merged = false;
        for (size_t a = 0; a < regions.size() && !merged; ++a)
            for (size_t b = a + 1; b < regions.size() && !merged; ++b) {
                Clip& x = regions[a];
                const Clip& y = regions[b];
                if (x.x0 >= y.x1 || y.x0 >= x.x1 || x.y0 >= y.y1 || y.y0 >= x.y1) continue;
                x = {std::min(x.x0, y.x0), std::min(x.y0, y.y0), std::max(x.x1, y.x1), std::max(x.y1, y.y1)};
                regions.erase(regions.begin() + (ptrdiff_t)b);
                merged = true;
            }
    }
}

bool coversFrame(const DrawCommand& cmd, const Surface& frame) {
    return cmd.kind == DrawCommand::BLIT && cmd.src->opaque && cmd.key == cmd.src->runsKey && cmd.sx == 0 &&
           cmd.sy == 0 && cmd.sw == cmd.dw && cmd.sh == cmd.dh && cmd.dx <= 0 && cmd.dy <= 0 &&
           cmd.dx + cmd.dw >= frame.width && cmd.dy + cmd.dh >= frame.height && cmd.src->width >= cmd.sw &&
           cmd.src->height >= cmd.sh;
}

void record(DrawCommand cmd) { state().pending.push_back(std::move(cmd)); }

} // namespace

void drawRecordedFrame() {
    SurfaceState& s = state();
    rasterizePending();
    s.pending.clear();
    s.shownValid = false;
}

void initgraph(int width, int height, int flag) {
    SurfaceState& s = state();
    s.frame = IMAGE(width, height);
    s.pending.clear();
    s.shown.clear();
    s.shownValid = false;
    platform::openWindow(width, height, flag == EX_SHOWCONSOLE);
}

void BeginBatchDraw() { state().batch = true; }

void FlushBatchDraw() {
    SurfaceState& s = state();
    Surface& frame = s.frame.surface;
    static std::vector<Clip> regions;
    bool comparable = s.shownValid && !s.pending.empty() && coversFrame(s.pending.front(), frame) &&
                      changedRegions(s.shown, s.pending, whole(frame), regions);
    if (comparable && regions.empty()) {
        s.pending.clear();
        platform::presentUnchanged();
        return;
    }
    if (comparable) {
        mergeRegions(regions);
        for (const Clip& region : regions) rasterizeArea(frame, s.pending, region);
    } else {
        rasterizePending();
    }
    s.shown.swap(s.pending);
    s.shownValid = !s.shown.empty() && coversFrame(s.shown.front(), frame);
    s.pending.clear();
    platform::present(frame.pixels.data(), frame.width, frame.height);
}

void setbkmode(int mode) { state().bkMode = mode; }

HDC GetImageHDC(IMAGE* img) { return img ? &img->surface : &state().frame.surface; }

void TransparentBlt(HDC dst, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw, int sh, COLORREF key) {
    if (!dst || !src) return;
    SurfaceState& s = state();
    uint32_t keyPixel = toPixel(key);
    if (dst == &s.frame.surface) {
        DrawCommand cmd;
        cmd.src = src;
        cmd.generation = src->generation;
        cmd.dx = dx, cmd.dy = dy, cmd.dw = dw, cmd.dh = dh, cmd.sx = sx, cmd.sy = sy, cmd.sw = sw, cmd.sh = sh;
        cmd.key = keyPixel;
        if (src == dst) {
            rasterizePending();
            s.pending.clear();
            s.shownValid = false;
            blitNow(*dst, whole(*dst), dx, dy, dw, dh, *src, sx, sy, sw, sh, keyPixel);
            return;
        }
        record(std::move(cmd));
        return;
    }
    if (src == &s.frame.surface) {
        // Reading the frame: what was recorded must be in its pixels first.
        rasterizePending();
        s.pending.clear();
        s.shownValid = false;
    }
    blitNow(*dst, whole(*dst), dx, dy, dw, dh, *src, sx, sy, sw, sh, keyPixel);
    dst->generation = nextGeneration();
}

void settextstyle(int height, int width, const char* face) {
    LOGFONT& f = state().font;
    f.lfHeight = height;
    f.lfWidth = width;
    std::strncpy(f.lfFaceName, face ? face : "", LF_FACESIZE - 1);
    f.lfFaceName[LF_FACESIZE - 1] = 0;
}

void settextstyle(const LOGFONT* in) {
    if (in) state().font = *in;
}

void gettextstyle(LOGFONT* out) {
    if (out) *out = state().font;
}

void settextcolor(COLORREF c) { state().textColour = c; }

void drawtext(const char* text, RECT* r, unsigned) {
    if (!text || !r) return;
    SurfaceState& s = state();
    DrawCommand cmd;
    cmd.kind = DrawCommand::TEXT;
    cmd.text = text;
    cmd.style.height = (int)s.font.lfHeight;
    cmd.style.width = (int)s.font.lfWidth;
    cmd.style.weight = (int)s.font.lfWeight;
    cmd.style.face = s.font.lfFaceName;
    cmd.rect = *r;
    cmd.colour = toPixel(s.textColour);
    if (textObserver()) textObserver()(cmd.text, cmd.rect, cmd.style);
    record(std::move(cmd));
}

void setTextObserver(TextObserver observer) { textObserver() = std::move(observer); }

void mousepos(POINT& pt) {
    platform::Point p = platform::windowPointer();
    pt.x = p.x;
    pt.y = p.y;
}

bool mouseInRect(int x, int y, int, int w, double rate) {
    POINT p;
    mousepos(p);
    double px = (double)p.x, py = (double)p.y;
    return px >= x * rate && py >= y * rate && px <= (x + w) * rate && py <= (y + w) * rate;
}

void Sleep(int ms) { platform::sleepMs(ms); }
