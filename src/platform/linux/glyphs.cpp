// Glyphs on Linux: faces found through fontconfig, asking for Chinese, and drawn by FreeType.
// Each sized face is a FreeType face of its own, so that it holds its size for good and what
// FreeType keeps for it can be counted and freed with it.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "platform/glyphs.h"
#include "platform/platform.h"

namespace platform {

namespace {

// FreeType's memory goes through an allocator that counts the bytes it holds, so that each face
// can be charged what it costs. The library and fontconfig's state live until the last face is
// closed and are released then (at exit at the latest), so leak checks stay clean.
class GlyphSystem {
public:
    GlyphSystem() {
        memory.user = this;
        memory.alloc = allocate;
        memory.free = release;
        memory.realloc = reallocate;
        if (FT_New_Library(&memory, &library) != 0) {
            library = nullptr;
            return;
        }
        FT_Add_Default_Modules(library);
        FT_Set_Default_Properties(library);
    }
    ~GlyphSystem() {
        if (library) FT_Done_Library(library);
        if (fontconfigUsed) FcFini();
    }
    GlyphSystem(const GlyphSystem&) = delete;
    GlyphSystem& operator=(const GlyphSystem&) = delete;

    FT_Library library = nullptr;
    long long held = 0; // bytes FreeType holds now

    struct FontFile {
        std::string path; // empty: none found
        int index = 0;
    };
    // The font file for a face name; fontconfig is asked once per name.
    const FontFile& fileFor(const std::string& gbkName) {
        auto it = files.find(gbkName);
        if (it != files.end()) return it->second;
        if (files.size() >= 64) files.clear(); // names come from the game; stay small whatever they are
        return files.emplace(gbkName, lookUp(gbkName)).first->second;
    }

private:
    FT_MemoryRec_ memory{};
    bool fontconfigUsed = false;
    std::map<std::string, FontFile> files;

    // Each block starts with its size, so that freeing it can count it off.
    static constexpr size_t HEADER = alignof(std::max_align_t);
    static GlyphSystem& of(FT_Memory m) { return *static_cast<GlyphSystem*>(m->user); }
    static void* allocate(FT_Memory m, long size) {
        auto* block = static_cast<unsigned char*>(std::malloc(HEADER + (size_t)size));
        if (!block) return nullptr;
        *reinterpret_cast<long*>(block) = size;
        of(m).held += size;
        return block + HEADER;
    }
    static void release(FT_Memory m, void* p) {
        if (!p) return;
        auto* block = static_cast<unsigned char*>(p) - HEADER;
        of(m).held -= *reinterpret_cast<long*>(block);
        std::free(block);
    }
    static void* reallocate(FT_Memory m, long, long size, void* p) {
        if (!p) return allocate(m, size);
        auto* block = static_cast<unsigned char*>(p) - HEADER;
        long before = *reinterpret_cast<long*>(block);
        auto* moved = static_cast<unsigned char*>(std::realloc(block, HEADER + (size_t)size));
        if (!moved) return nullptr;
        *reinterpret_cast<long*>(moved) = size;
        of(m).held += size - before;
        return moved + HEADER;
    }

    // The face by name, or the best Chinese face installed when that one is not.
    FontFile lookUp(const std::string& gbkName) {
        std::string family = gbkToUtf8(gbkName);
        fontconfigUsed = true;
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcLangSet* langs = FcLangSetCreate();
        FcLangSetAdd(langs, reinterpret_cast<const FcChar8*>("zh-cn"));
        FcPatternAddLangSet(pattern, FC_LANG, langs);
        FcLangSetDestroy(langs);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        FcPatternDestroy(pattern);
        FontFile found;
        FcChar8* file = nullptr;
        if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            found.path = reinterpret_cast<const char*>(file);
            FcPatternGetInteger(match, FC_INDEX, 0, &found.index);
        }
        if (match) FcPatternDestroy(match);
        if (found.path.empty())
            std::fprintf(stderr, "cardbattle: no font found for \"%s\"; text is not drawn\n", family.c_str());
        return found;
    }
};

std::shared_ptr<GlyphSystem> glyphSystem() {
    static std::shared_ptr<GlyphSystem> system = std::make_shared<GlyphSystem>();
    return system;
}

} // namespace

struct Face {
    std::shared_ptr<GlyphSystem> system;
    FT_Face face = nullptr;
    bool bold = false;
    FaceMetrics metrics;
    long long bytes = 0;
};

namespace {

// Charges what FreeType comes to hold during one call on a face to that face.
class Charge {
public:
    explicit Charge(Face& f) : face(f), before(f.system->held) {}
    ~Charge() { face.bytes = std::max(0LL, face.bytes + face.system->held - before); }

private:
    Face& face;
    long long before;
};

// The cell (ascent + descent) is `height` pixels, as a positive font height asks; a width gives
// the average character width, a full-width character taking two. The em is capped at twice the
// largest font, whatever a face's proportions, so that no glyph can be huge.
void applySize(Face& f, int height, int width) {
    FT_Face face = f.face;
    double cell = face->units_per_EM;
    if (FT_IS_SCALABLE(face) && face->ascender - face->descender > 0) cell = face->ascender - face->descender;
    double emY = std::min(height * face->units_per_EM / cell, 2.0 * MAX_FONT_PIXELS);
    double emX = width > 0 ? width * 2.0 : emY;
    FT_Set_Char_Size(face, (FT_F26Dot6)(emX * 64), (FT_F26Dot6)(emY * 64), 72, 72);
    f.metrics.lineHeight = height;
    f.metrics.ascent = (int)(face->ascender * emY / face->units_per_EM + 0.5);
}

// Loads the glyph outline, made heavier for bold. False when the face has no such character.
bool load(Face& f, char32_t c) {
    FT_Face face = f.face;
    // FreeType would load the face's box for missing characters (glyph 0) instead.
    FT_UInt index = FT_Get_Char_Index(face, c);
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL) != 0) return false;
    FT_GlyphSlot slot = face->glyph;
    if (f.bold && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_Pos strength = FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 20;
        FT_Outline_Embolden(&slot->outline, strength);
        slot->advance.x += strength;
    }
    return true;
}

int advanceOf(FT_GlyphSlot slot) { return (int)((slot->advance.x + 32) >> 6); }

bool render(Face& f, char32_t c, GlyphImage& g) {
    if (!load(f, c)) return false;
    FT_GlyphSlot slot = f.face->glyph;
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return false;
    const FT_Bitmap& bm = slot->bitmap;
    g.box = {slot->bitmap_left, slot->bitmap_top, (int)bm.width, (int)bm.rows};
    g.advance = advanceOf(slot);
    g.coverage.resize((size_t)g.box.width * g.box.rows);
    for (int y = 0; y < g.box.rows; ++y)
        std::copy_n(bm.buffer + (ptrdiff_t)y * bm.pitch, g.box.width, g.coverage.begin() + (ptrdiff_t)y * g.box.width);
    return true;
}

} // namespace

void FaceCloser::operator()(Face* f) const {
    if (f && f->face) FT_Done_Face(f->face);
    delete f;
}

FaceHandle openFace(const FaceRequest& request) {
    std::shared_ptr<GlyphSystem> system = glyphSystem();
    if (!system->library) return nullptr;
    const GlyphSystem::FontFile& file = system->fileFor(request.gbkName);
    if (file.path.empty()) return nullptr;
    FaceHandle f(new Face);
    f->system = system;
    f->bold = request.bold;
    Charge charge(*f);
    if (FT_New_Face(system->library, file.path.c_str(), file.index, &f->face) != 0) {
        f->face = nullptr;
        return nullptr;
    }
    applySize(*f, std::clamp(request.height, 1, MAX_FONT_PIXELS), std::clamp(request.width, 0, MAX_FONT_PIXELS));
    return f;
}

FaceMetrics faceMetrics(const Face& face) { return face.metrics; }

GlyphMetrics glyphMetrics(Face& f, char32_t c) {
    Charge charge(f);
    GlyphMetrics m;
    if (!load(f, c)) return m;
    FT_GlyphSlot slot = f.face->glyph;
    m.advance = advanceOf(slot);
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) {
        // Nothing to measure without drawing it.
        GlyphImage g;
        if (render(f, c, g)) m.ink = g.box;
        return m;
    }
    // The outline's bounds in whole pixels, a pixel wider on every side than any rounding of the
    // renderer can make them.
    FT_BBox box;
    FT_Outline_Get_CBox(&slot->outline, &box);
    int x0 = (int)std::floor(box.xMin / 64.0) - 1, x1 = (int)std::ceil(box.xMax / 64.0) + 1;
    int y0 = (int)std::floor(box.yMin / 64.0) - 1, y1 = (int)std::ceil(box.yMax / 64.0) + 1;
    m.ink = {x0, y1, x1 - x0, y1 - y0};
    return m;
}

GlyphImage renderGlyph(Face& f, char32_t c) {
    Charge charge(f);
    GlyphImage g;
    if (!render(f, c, g)) g = GlyphImage{};
    return g;
}

size_t faceBytes(const Face& face) { return sizeof(Face) + (size_t)face.bytes; }

} // namespace platform
