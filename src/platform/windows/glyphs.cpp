// Glyphs on Windows through GDI: a face is a GDI font asked for by name with the GB2312 character
// set, so that Windows' font mapper picks it the way the game's text was meant to be matched (the
// face itself where installed, a Chinese face in its place otherwise), and glyph coverage comes
// from GetGlyphOutline in 65 grey levels. GetGlyphOutline draws from that one font only, so a
// character it lacks is taken from a fallback face, as DrawText's font linking would (a stand-in
// Chinese face may hold no Latin letters or digits).
#include "platform/glyphs.h"
#include "platform/platform.h"

// After the platform's headers: windows.h defines the virtual-key names as macros.
#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace platform {

namespace {

// One memory device context for every face: fonts are selected into it for each call. It lives
// until the last face is closed.
class GlyphContext {
public:
    GlyphContext() : dc(CreateCompatibleDC(nullptr)) {}
    ~GlyphContext() {
        if (dc) DeleteDC(dc);
    }
    GlyphContext(const GlyphContext&) = delete;
    GlyphContext& operator=(const GlyphContext&) = delete;
    HDC dc;
};

std::shared_ptr<GlyphContext> glyphContext() {
    static std::weak_ptr<GlyphContext> shared;
    std::shared_ptr<GlyphContext> context = shared.lock();
    if (!context) {
        context = std::make_shared<GlyphContext>();
        shared = context;
    }
    return context;
}

// GDI keeps what it needs to draw a font (its realisation, hinting state, glyph cache) out of our
// reach; this is charged to each face in its place.
constexpr size_t GDI_FONT_BYTES = 64 * 1024;

// GetGlyphOutline's grey levels run from 0 to 64.
constexpr int GDI_GREY_LEVELS = 64;

// The face name in UTF-16, cut to what a LOGFONT holds (GDI matches on that much).
std::wstring faceNameOf(const std::string& gbk) {
    std::wstring name(gbk.size(), L'\0');
    int n = gbk.empty() ? 0 : MultiByteToWideChar(936, 0, gbk.data(), (int)gbk.size(), name.data(), (int)name.size());
    name.resize((size_t)std::clamp(n, 0, LF_FACESIZE - 1));
    return name;
}

// A face with Latin, Greek and Cyrillic present on every Windows (and in Wine).
const wchar_t FALLBACK_FACE[] = L"Tahoma";

struct FontRequest {
    std::wstring name;
    BYTE charset = GB2312_CHARSET;
    int height = 0;
    int width = 0;
    bool bold = false;
};

// Selects a font into the shared context for the length of one call.
class Selected {
public:
    Selected(HDC context, HFONT font) : dc(context), previous(SelectObject(dc, font)) {}
    ~Selected() { SelectObject(dc, previous); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;
    HDC dc;

private:
    HGDIOBJ previous;
};

HFONT createFont(const FontRequest& request, BYTE precision, int averageWidth) {
    LOGFONTW lf{};
    lf.lfHeight = request.height; // positive: the character cell's height
    lf.lfWidth = averageWidth;
    lf.lfWeight = request.bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = request.charset;
    lf.lfOutPrecision = precision;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = ANTIALIASED_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    std::copy(request.name.begin(), request.name.end(), lf.lfFaceName);
    return CreateFontIndirectW(&lf);
}

// The font's average character width in its own units (OS/2 table) and its em, for the font
// selected into dc; false when it does not say.
bool designWidths(HDC dc, int& averageWidth, int& em) {
    OUTLINETEXTMETRICW otm{};
    otm.otmSize = sizeof otm;
    unsigned char bytes[2];
    const DWORD OS2 = 'O' | 'S' << 8 | '/' << 16 | (DWORD)'2' << 24;
    if (!GetOutlineTextMetricsW(dc, sizeof otm, &otm) || GetFontData(dc, OS2, 2, bytes, 2) != 2) return false;
    averageWidth = (int16_t)(bytes[0] << 8 | bytes[1]);
    em = (int)otm.otmEMSquare;
    return averageWidth > 0 && em > 0;
}

// The font asked for. A width is the average character width with a full-width character taking
// two, as the game's text was laid out for: the em is made twice the width across. (GDI scales
// to the face's own average width, which in a face of mostly Chinese is nearly a full width.)
HFONT openFont(HDC dc, const FontRequest& request, BYTE precision) {
    HFONT natural = createFont(request, precision, 0);
    if (!natural || request.width <= 0) return natural;
    int average = 0, em = 0;
    bool known = false;
    {
        Selected s(dc, natural);
        known = designWidths(dc, average, em);
    }
    if (!known) return natural;
    DeleteObject(natural);
    int across = (int)((2LL * request.width * average + em / 2) / em);
    return createFont(request, precision, std::max(across, 1));
}

bool isOutlineFont(const TEXTMETRICW& tm) { return (tm.tmPitchAndFamily & (TMPF_TRUETYPE | TMPF_VECTOR)) != 0; }

void sayNoFace(const std::string& gbkName) {
    static bool said = false;
    if (said) return;
    said = true;
    std::fprintf(stderr, "cardbattle: no font found for \"%s\"; text is not drawn\n", gbkToUtf8(gbkName).c_str());
}

} // namespace

struct Face {
    std::shared_ptr<GlyphContext> context;
    FontRequest request;
    HFONT font = nullptr;
    HFONT fallback = nullptr; // made when first needed
    bool fallbackTried = false;
    FaceMetrics metrics;
    std::vector<uint8_t> scratch; // GetGlyphOutline's rows, four-byte aligned
};

namespace {

// Whether `font` has a glyph for `c`, and its index there (GDI would draw a box for a missing one).
bool glyphIn(HDC dc, HFONT font, char32_t c, WORD& index) {
    Selected s(dc, font);
    wchar_t wc = (wchar_t)c;
    if (GetGlyphIndicesW(dc, &wc, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) != 1) return false;
    return index != 0xFFFF && index != 0; // glyph 0 is the box of a font's missing characters
}

// The font that draws `c` (the face's own or its fallback) and the glyph's index in it; null when
// neither has it. Game text is GBK, so every character it can hold is below U+10000.
HFONT fontFor(Face& f, char32_t c, WORD& index) {
    if (c > 0xFFFF) return nullptr;
    HDC dc = f.context->dc;
    if (glyphIn(dc, f.font, c, index)) return f.font;
    if (!f.fallbackTried) {
        f.fallbackTried = true;
        FontRequest fallback = f.request;
        fallback.name = FALLBACK_FACE;
        fallback.charset = DEFAULT_CHARSET;
        f.fallback = openFont(dc, fallback, OUT_TT_PRECIS);
    }
    if (f.fallback && glyphIn(dc, f.fallback, c, index)) return f.fallback;
    return nullptr;
}

const MAT2 IDENTITY = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

// GDI's glyph for `c` from the font that has it: its metrics in `gm` and, given a buffer, its
// picture in `format` there. Returns the picture's size in bytes, or GDI_ERROR when no font has
// the character.
DWORD glyphOutline(Face& f, char32_t c, UINT format, GLYPHMETRICS& gm, std::vector<uint8_t>* picture) {
    WORD index = 0;
    HFONT font = fontFor(f, c, index);
    if (!font) return GDI_ERROR;
    Selected s(f.context->dc, font);
    format |= GGO_GLYPH_INDEX;
    DWORD size = GetGlyphOutlineW(s.dc, index, format, &gm, 0, nullptr, &IDENTITY);
    if (!picture || size == GDI_ERROR || size == 0) return size;
    picture->resize(size);
    return GetGlyphOutlineW(s.dc, index, format, &gm, size, picture->data(), &IDENTITY) == GDI_ERROR ? GDI_ERROR
                                                                                                       : size;
}

} // namespace

void FaceCloser::operator()(Face* f) const {
    if (f && f->font) DeleteObject(f->font);
    if (f && f->fallback) DeleteObject(f->fallback);
    delete f;
}

FaceHandle openFace(const FaceRequest& request) {
    std::shared_ptr<GlyphContext> context = glyphContext();
    FaceHandle f(new Face);
    f->context = context;
    f->request = {faceNameOf(request.gbkName), GB2312_CHARSET, std::clamp(request.height, 1, MAX_FONT_PIXELS),
                  std::clamp(request.width, 0, MAX_FONT_PIXELS), request.bold};
    TEXTMETRICW tm{};
    // A bitmap face has no outlines to take coverage from: then insist on an outline face.
    for (BYTE precision : {OUT_TT_PRECIS, OUT_TT_ONLY_PRECIS}) {
        if (f->font) DeleteObject(f->font);
        f->font = context->dc ? openFont(context->dc, f->request, precision) : nullptr;
        if (!f->font) break;
        Selected s(context->dc, f->font);
        if (GetTextMetricsW(s.dc, &tm) && isOutlineFont(tm)) break;
    }
    if (!f->font) {
        sayNoFace(request.gbkName);
        return nullptr;
    }
    f->metrics.lineHeight = f->request.height;
    f->metrics.ascent = tm.tmAscent;
    return f;
}

FaceMetrics faceMetrics(const Face& face) { return face.metrics; }

GlyphMetrics glyphMetrics(Face& f, char32_t c) {
    GlyphMetrics m;
    GLYPHMETRICS gm{};
    if (glyphOutline(f, c, GGO_METRICS, gm, nullptr) == GDI_ERROR) return m;
    m.advance = gm.gmCellIncX;
    // A pixel wider on every side than the drawn coverage can be.
    m.ink = {gm.gmptGlyphOrigin.x - 1, gm.gmptGlyphOrigin.y + 1, (int)gm.gmBlackBoxX + 2, (int)gm.gmBlackBoxY + 2};
    return m;
}

GlyphImage renderGlyph(Face& f, char32_t c) {
    GlyphImage g;
    GLYPHMETRICS gm{};
    DWORD size = glyphOutline(f, c, GGO_GRAY8_BITMAP, gm, &f.scratch);
    if (size == GDI_ERROR) return g;
    g.advance = gm.gmCellIncX;
    g.box = {gm.gmptGlyphOrigin.x, gm.gmptGlyphOrigin.y, 0, 0};
    int width = (int)gm.gmBlackBoxX, rows = (int)gm.gmBlackBoxY;
    size_t pitch = ((size_t)width + 3) & ~(size_t)3;
    // No ink (a space): GDI still gives a one-pixel box, but no bitmap.
    if (size == 0 || width <= 0 || rows <= 0 || size < pitch * (size_t)rows) return g;
    g.box.width = width;
    g.box.rows = rows;
    g.coverage.resize((size_t)width * rows);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < width; ++x) {
            int level = std::min<int>(f.scratch[(size_t)y * pitch + x], GDI_GREY_LEVELS);
            g.coverage[(size_t)y * width + x] = (uint8_t)((level * 255 + GDI_GREY_LEVELS / 2) / GDI_GREY_LEVELS);
        }
    return g;
}

size_t faceBytes(const Face& face) {
    return sizeof(Face) + face.scratch.capacity() + GDI_FONT_BYTES * (face.fallback ? 2 : 1);
}

} // namespace platform
