// Text for the graphics window: the face is resolved through fontconfig (asking for Chinese), glyphs
// are rendered with FreeType and cached, and whole laid-out text boxes are cached too, so that a
// text item costs about as much as a picture of its size.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H

#include <algorithm>
#include <cstdio>
#include <list>
#include <map>
#include <memory>
#include <unordered_map>

#include "render/surface_internal.h"

namespace {

struct Glyph {
    int left = 0, top = 0, width = 0, rows = 0, advance = 0;
    std::vector<uint8_t> coverage;
};

// One resolved face at one pixel size and weight.
struct SizedFace {
    FT_Face face = nullptr;
    int lineHeight = 0;
    int ascent = 0;
    bool bold = false;
    std::unordered_map<char32_t, Glyph> glyphs;
};

// FreeType sizes belong to the face and several sized entries share one face, so each use
// selects its own size again. The cell (ascent + descent) is `height` pixels, as a positive font
// height asks; a width gives the average character width, a full-width character taking two.
void applySize(SizedFace& sf, const TextStyle& style) {
    FT_Face face = sf.face;
    if (!face) return;
    int height = std::max(1, style.height);
    double cell = face->units_per_EM;
    if (FT_IS_SCALABLE(face) && face->ascender - face->descender > 0) cell = face->ascender - face->descender;
    double emY = height * face->units_per_EM / cell;
    double emX = style.width > 0 ? style.width * 2.0 : emY;
    FT_Set_Char_Size(face, (FT_F26Dot6)(emX * 64), (FT_F26Dot6)(emY * 64), 72, 72);
    sf.lineHeight = height;
    sf.ascent = (int)(face->ascender * emY / face->units_per_EM + 0.5);
}

class FontCache {
public:
    ~FontCache() {
        sized.clear();
        for (auto& [key, face] : faces)
            if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
        if (fontconfigUsed) FcFini();
    }

    SizedFace* get(const TextStyle& style) {
        std::string key = style.face + '\0' + std::to_string(style.height) + ',' + std::to_string(style.width) + ',' +
                          std::to_string(style.weight >= 600);
        auto it = sized.find(key);
        if (it != sized.end()) return it->second.get();
        auto entry = std::make_unique<SizedFace>();
        entry->face = faceFor(style.face);
        entry->bold = style.weight >= 600;
        applySize(*entry, style);
        SizedFace* result = entry.get();
        sized.emplace(key, std::move(entry));
        return result;
    }

    const Glyph& glyph(SizedFace& sf, char32_t cp) {
        auto it = sf.glyphs.find(cp);
        if (it != sf.glyphs.end()) return it->second;
        Glyph g;
        if (sf.face) render(sf, cp, g);
        return sf.glyphs.emplace(cp, std::move(g)).first->second;
    }

private:
    FT_Library library = nullptr;
    bool fontconfigUsed = false;
    std::map<std::string, FT_Face> faces;
    std::map<std::string, std::unique_ptr<SizedFace>> sized;

    FT_Face faceFor(const std::string& gbkName) {
        auto it = faces.find(gbkName);
        if (it != faces.end()) return it->second;
        FT_Face face = open(gbkName);
        faces[gbkName] = face;
        return face;
    }

    // The face by name, or the best Chinese face installed when that one is not.
    FT_Face open(const std::string& gbkName) {
        if (!library && FT_Init_FreeType(&library) != 0) return nullptr;
        std::string family = platform::gbkToUtf8(gbkName);
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
        FT_Face face = nullptr;
        FcChar8* file = nullptr;
        int index = 0;
        if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            if (FT_New_Face(library, reinterpret_cast<const char*>(file), index, &face) != 0) face = nullptr;
        }
        if (match) FcPatternDestroy(match);
        if (!face) std::fprintf(stderr, "cardbattle: no font found for \"%s\"; text is not drawn\n", family.c_str());
        return face;
    }

    void render(SizedFace& sf, char32_t cp, Glyph& g) {
        FT_Face face = sf.face;
        if (FT_Load_Char(face, cp, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL) != 0) return;
        FT_GlyphSlot slot = face->glyph;
        if (sf.bold && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
            FT_Pos strength = FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 20;
            FT_Outline_Embolden(&slot->outline, strength);
            slot->advance.x += strength;
        }
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return;
        const FT_Bitmap& bm = slot->bitmap;
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.width = (int)bm.width;
        g.rows = (int)bm.rows;
        g.advance = (int)((slot->advance.x + 32) >> 6);
        g.coverage.resize((size_t)g.width * g.rows);
        for (int y = 0; y < g.rows; ++y)
            std::copy_n(bm.buffer + (ptrdiff_t)y * bm.pitch, g.width, g.coverage.begin() + (ptrdiff_t)y * g.width);
    }
};

FontCache& fonts() {
    static FontCache cache;
    return cache;
}

std::u32string decodeUtf8(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + extra >= s.size() + (extra == 0 ? 1 : 0)) {
            out += U'\uFFFD';
            ++i;
            continue;
        }
        char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) cp = cp << 6 | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out += cp;
        i += extra + 1;
    }
    return out;
}

bool isWide(char32_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x2000 && c <= 0x206F) ||
           (c >= 0x3000 && c <= 0x303F);
}

// Closing punctuation never starts a line; opening punctuation never ends one.
bool isClosing(char32_t c) {
    static const std::u32string closing = U"，。、；：？！）】》」』〉”’…—,.;:?!)]}>%";
    return closing.find(c) != std::u32string::npos;
}
bool isOpening(char32_t c) {
    static const std::u32string opening = U"（【《「『〈“‘([{<";
    return opening.find(c) != std::u32string::npos;
}

// A break is allowed before position i (between text[i-1] and text[i]).
bool canBreakBefore(const std::u32string& t, size_t i) {
    if (i == 0 || i >= t.size()) return false;
    char32_t a = t[i - 1], b = t[i];
    if (isClosing(b) || isOpening(a)) return false;
    if (a == U' ' || b == U' ') return true;
    return isWide(a) || isWide(b);
}

int advanceOf(SizedFace& sf, char32_t c) { return fonts().glyph(sf, c).advance; }

std::vector<std::u32string> breakInto(const std::u32string& text, SizedFace& sf, int boxWidth) {
    std::vector<std::u32string> lines;
    std::u32string line;
    int lineWidth = 0;
    size_t i = 0;
    auto flush = [&] {
        while (!line.empty() && line.back() == U' ') line.pop_back();
        lines.push_back(line);
        line.clear();
        lineWidth = 0;
    };
    while (i < text.size()) {
        if (text[i] == U'\n' || text[i] == U'\r') {
            if (text[i] == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
            flush();
            ++i;
            continue;
        }
        // The next unbreakable piece: up to the next allowed break.
        size_t end = i + 1;
        while (end < text.size() && text[end] != U'\n' && text[end] != U'\r' && !canBreakBefore(text, end)) ++end;
        std::u32string piece = text.substr(i, end - i);
        int width = 0;
        for (char32_t c : piece) width += advanceOf(sf, c);
        if (!line.empty() && lineWidth + width > boxWidth) {
            flush();
            while (!piece.empty() && piece.front() == U' ') {
                width -= advanceOf(sf, piece.front());
                piece.erase(piece.begin());
            }
        }
        line += piece;
        lineWidth += width;
        i = end;
    }
    if (!line.empty() || lines.empty()) flush();
    return lines;
}

void renderLines(const std::vector<std::u32string>& lines, SizedFace& sf, TextMask& mask) {
    for (size_t n = 0; n < lines.size(); ++n) {
        int top = (int)n * sf.lineHeight;
        if (top >= mask.height) break; // clipped at the box's bottom
        int width = 0;
        for (char32_t c : lines[n]) width += advanceOf(sf, c);
        int penX = (mask.width - width) / 2;
        int baseline = top + sf.ascent;
        for (char32_t c : lines[n]) {
            const Glyph& g = fonts().glyph(sf, c);
            for (int gy = 0; gy < g.rows; ++gy) {
                int y = baseline - g.top + gy;
                if (y < 0 || y >= mask.height) continue;
                for (int gx = 0; gx < g.width; ++gx) {
                    int x = penX + g.left + gx;
                    if (x < 0 || x >= mask.width) continue;
                    uint8_t& dst = mask.coverage[(size_t)y * mask.width + x];
                    dst = std::max(dst, g.coverage[(size_t)gy * g.width + gx]);
                }
            }
            penX += g.advance;
        }
    }
}

void findSpans(TextMask& mask) {
    for (int y = 0; y < mask.height; ++y) {
        const uint8_t* row = &mask.coverage[(size_t)y * mask.width];
        int first = 0, last = mask.width - 1;
        while (first < mask.width && !row[first]) ++first;
        if (first == mask.width) continue;
        while (!row[last]) --last;
        mask.spans.push_back({y, first, last - first + 1});
    }
}

struct MaskKey {
    std::string text;
    TextStyle style;
    int width, height;
    bool operator==(const MaskKey&) const = default;
};

struct MaskKeyHash {
    size_t operator()(const MaskKey& k) const {
        size_t h = std::hash<std::string>()(k.text);
        for (size_t v : {std::hash<std::string>()(k.style.face), (size_t)k.style.height, (size_t)k.style.width,
                         (size_t)(k.style.weight >= 600), (size_t)k.width, (size_t)k.height})
            h = h * 1000003u ^ v;
        return h;
    }
};

// Laid-out boxes, most recently used first; bounded so that changing numbers cannot grow it.
class MaskCache {
public:
    template <class Make>
    const TextMask& get(const MaskKey& key, Make&& make) {
        auto it = index.find(key);
        if (it != index.end()) {
            order.splice(order.begin(), order, it->second);
            return it->second->second;
        }
        order.emplace_front(key, make());
        index[key] = order.begin();
        if (order.size() > CAPACITY) {
            index.erase(order.back().first);
            order.pop_back();
        }
        return order.front().second;
    }

private:
    static constexpr size_t CAPACITY = 2048;
    std::list<std::pair<MaskKey, TextMask>> order;
    std::unordered_map<MaskKey, std::list<std::pair<MaskKey, TextMask>>::iterator, MaskKeyHash> index;
};

} // namespace

std::vector<std::u32string> breakLines(const std::string& gbk, const TextStyle& style, int boxWidth) {
    SizedFace* sf = fonts().get(style);
    applySize(*sf, style);
    return breakInto(decodeUtf8(platform::gbkToUtf8(gbk)), *sf, boxWidth);
}

const TextMask& layoutText(const std::string& gbk, const TextStyle& style, int boxWidth, int boxHeight) {
    static MaskCache cache;
    TextStyle normal = style;
    normal.weight = style.weight >= 600 ? 700 : 400; // only bold or not makes a difference
    return cache.get(MaskKey{gbk, normal, boxWidth, boxHeight}, [&] {
        TextMask mask;
        mask.width = std::max(0, boxWidth);
        mask.height = std::max(0, boxHeight);
        mask.coverage.assign((size_t)mask.width * mask.height, 0);
        if (mask.width == 0 || mask.height == 0) return mask;
        SizedFace* sf = fonts().get(style);
        if (!sf->face) return mask;
        applySize(*sf, style);
        renderLines(breakInto(decodeUtf8(platform::gbkToUtf8(gbk)), *sf, mask.width), *sf, mask);
        findSpans(mask);
        return mask;
    });
}
