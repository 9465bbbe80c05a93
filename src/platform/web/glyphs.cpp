// Glyphs in the browser: the page draws them with its own text drawing (a canvas), in the face
// asked for where the browser has it and in the shipped Chinese face otherwise; the shared text
// code lays them out and caches them.
#include <algorithm>
#include <cstdio>

#include "platform/glyphs.h"
#include "platform/platform.h"
#include "platform/web/page.h"

namespace platform {

struct Face {
    int id = -1;
    FaceMetrics metrics;
};

namespace {

// What the page keeps for a face: its font description, a few dozen bytes.
constexpr size_t PAGE_FACE_BYTES = 64;

GlyphBox boxOf(const int (&box)[4]) { return {box[0], box[1], box[2], box[3]}; }

} // namespace

void FaceCloser::operator()(Face* f) const {
    if (f && f->id >= 0) web_face_close(f->id);
    delete f;
}

FaceHandle openFace(const FaceRequest& request) {
    std::string name = gbkToUtf8(request.gbkName);
    int id = web_face_open(name.c_str(), std::clamp(request.height, 1, MAX_FONT_PIXELS),
                           std::clamp(request.width, 0, MAX_FONT_PIXELS), request.bold ? 1 : 0);
    if (id < 0) {
        static bool said = false;
        if (!said) std::fprintf(stderr, "cardbattle: the page has no face for \"%s\"; text is not drawn\n", name.c_str());
        said = true;
        return nullptr;
    }
    FaceHandle f(new Face);
    f->id = id;
    web_face_metrics(id, &f->metrics.lineHeight, &f->metrics.ascent);
    return f;
}

FaceMetrics faceMetrics(const Face& face) { return face.metrics; }

GlyphMetrics glyphMetrics(Face& face, char32_t c) {
    int box[4] = {};
    GlyphMetrics m;
    m.advance = web_glyph(face.id, (int)c, 0, box);
    m.ink = boxOf(box);
    return m;
}

GlyphImage renderGlyph(Face& face, char32_t c) {
    int box[4] = {};
    GlyphImage g;
    g.advance = web_glyph(face.id, (int)c, 1, box);
    g.box = boxOf(box);
    if (g.box.width <= 0 || g.box.rows <= 0) {
        g.box = GlyphBox{};
        return g;
    }
    g.coverage.resize((size_t)g.box.width * g.box.rows);
    web_glyph_coverage(g.coverage.data(), (int)g.coverage.size());
    return g;
}

size_t faceBytes(const Face&) { return sizeof(Face) + PAGE_FACE_BYTES; }

} // namespace platform
