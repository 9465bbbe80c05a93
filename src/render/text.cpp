// Text laid out with the DrawText rules over the platform's glyph source, and the caches that make
// a text item cost about as much as a picture of its size. Sized faces, glyphs and laid-out boxes
// share one byte budget, least recently used first out, so that no stream of texts, boxes or sizes
// can grow them without end.
#include <algorithm>
#include <climits>
#include <functional>
#include <list>
#include <unordered_map>
#include <variant>

#include "platform/glyphs.h"
#include "platform/platform.h"
#include "platform/utf8.h"
#include "render/surface_internal.h"

namespace {

using platform::MAX_FONT_PIXELS;

constexpr size_t TEXT_CACHE_BUDGET = 64u << 20;

// What a style asks of the glyph source: sizes capped, the weight only bold or not.
struct FaceKey {
    std::string face;
    int height = 0;
    int width = 0;
    bool bold = false;
    bool operator==(const FaceKey&) const = default;
};

FaceKey faceKeyOf(const TextStyle& s) {
    return {s.face, std::clamp(s.height, 1, MAX_FONT_PIXELS), std::clamp(s.width, 0, MAX_FONT_PIXELS),
            s.weight >= 600};
}

size_t mix(size_t h, size_t v) { return h * 1000003u ^ v; }

struct FaceKeyHash {
    size_t operator()(const FaceKey& k) const {
        return mix(mix(mix(std::hash<std::string>()(k.face), (size_t)k.height), (size_t)k.width), k.bold);
    }
};

struct SizedFace {
    FaceKey key;
    platform::FaceHandle face; // null when no face is installed: text is not drawn
    platform::FaceMetrics metrics;
    unsigned long long serial = 0; // names its glyphs, which outlive it in the cache
};

// A glyph is measured for line breaking and drawn only when it meets the part of a box wanted.
struct Glyph {
    platform::GlyphMetrics metrics;
    bool drawn = false;
    platform::GlyphImage image;
};

struct GlyphKey {
    unsigned long long face;
    char32_t c;
    bool operator==(const GlyphKey&) const = default;
};

struct GlyphKeyHash {
    size_t operator()(const GlyphKey& k) const { return mix((size_t)k.face, k.c); }
};

struct MaskKey {
    std::string text;
    FaceKey style;
    long long boxWidth, boxHeight;
    TextWindow window;
    bool operator==(const MaskKey&) const = default;
};

struct MaskKeyHash {
    size_t operator()(const MaskKey& k) const {
        size_t h = mix(std::hash<std::string>()(k.text), FaceKeyHash()(k.style));
        for (long long v : {k.boxWidth, k.boxHeight, k.window.x, k.window.y, (long long)k.window.width,
                            (long long)k.window.height})
            h = mix(h, (size_t)v);
        return h;
    }
};

// Sized faces, glyphs and masks in one recency order under one byte budget. The newest entry is
// never dropped, so what a lookup returns stays valid until the next lookup; a face in use by a
// layout is held by it even if the cache lets it go meanwhile.
class TextCache {
public:
    std::shared_ptr<SizedFace> face(const FaceKey& key) {
        Node& node = touch<FaceItem>(faces, key, [&] {
            auto sf = std::make_shared<SizedFace>();
            sf->key = key;
            sf->face = platform::openFace({key.face, key.height, key.width, key.bold});
            if (sf->face) sf->metrics = platform::faceMetrics(*sf->face);
            sf->serial = ++serials;
            return FaceItem{key, sf};
        });
        auto& item = std::get<FaceItem>(node.item);
        if (!node.bytes) charge(node, faceCost(*item.face));
        return item.face;
    }

    // The glyph, drawn too when `draw` is set.
    const Glyph& glyph(SizedFace& sf, char32_t c, bool draw) {
        GlyphKey key{sf.serial, c};
        Node& node = touch<GlyphItem>(glyphs, key, [&] {
            GlyphItem item{key, {}};
            if (sf.face) item.glyph.metrics = platform::glyphMetrics(*sf.face, c);
            return item;
        });
        Glyph& g = std::get<GlyphItem>(node.item).glyph;
        if (draw && !g.drawn && sf.face) {
            g.image = platform::renderGlyph(*sf.face, c);
            g.drawn = true;
        }
        size_t cost = ENTRY_OVERHEAD + g.image.coverage.capacity();
        if (node.bytes != cost) {
            // New or newly drawn: the glyph source did some work for it.
            charge(node, cost);
            recharge(sf);
        }
        return g;
    }

    template <class Make>
    const TextMask& mask(const MaskKey& key, Make&& make) {
        Node& node = touch<MaskItem>(masks, key, [&] {
            ++layouts;
            return MaskItem{key, make()};
        });
        const TextMask& m = std::get<MaskItem>(node.item).mask;
        charge(node, ENTRY_OVERHEAD + key.text.capacity() + m.coverage.capacity() +
                         m.spans.capacity() * sizeof(TextMask::Span));
        return m;
    }

    TextCacheStats stats() const { return {total, TEXT_CACHE_BUDGET, layouts}; }

    void clear() {
        faces.clear();
        glyphs.clear();
        masks.clear();
        order.clear();
        total = 0;
    }

private:
    struct FaceItem {
        FaceKey key;
        std::shared_ptr<SizedFace> face;
    };
    struct GlyphItem {
        GlyphKey key;
        Glyph glyph;
    };
    struct MaskItem {
        MaskKey key;
        TextMask mask;
    };
    struct Node {
        std::variant<FaceItem, GlyphItem, MaskItem> item;
        size_t bytes = 0;
    };
    using Order = std::list<Node>; // most recently used first
    // The indexes refer to the keys inside the entries, so that a key is stored once.
    template <class Key>
    struct Same {
        bool operator()(const Key& a, const Key& b) const { return a == b; }
    };
    template <class Key, class Hash>
    using Index = std::unordered_map<std::reference_wrapper<const Key>, Order::iterator, Hash, Same<Key>>;
    // What an entry costs beside what it holds: its list node, its index node and bucket, and
    // the allocator's bookkeeping of both.
    static constexpr size_t ENTRY_OVERHEAD = sizeof(Node) + 64;

    Order order;
    Index<FaceKey, FaceKeyHash> faces;
    Index<GlyphKey, GlyphKeyHash> glyphs;
    Index<MaskKey, MaskKeyHash> masks;
    size_t total = 0;
    size_t layouts = 0;
    unsigned long long serials = 0;

    // The entry for `key`, made by `make` when missing, now the most recently used.
    template <class Item, class Key, class Hash, class Make>
    Node& touch(Index<Key, Hash>& index, const Key& key, Make&& make) {
        auto it = index.find(key);
        if (it != index.end()) {
            order.splice(order.begin(), order, it->second);
            return *it->second;
        }
        order.push_front(Node{make(), 0});
        index.emplace(std::get<Item>(order.front().item).key, order.begin());
        return order.front();
    }

    static size_t faceCost(const SizedFace& sf) {
        return ENTRY_OVERHEAD + sizeof(SizedFace) + sf.key.face.capacity() + (sf.face ? platform::faceBytes(*sf.face) : 0);
    }

    // What the glyph source holds for a face grows as it draws; its entry follows while cached.
    void recharge(const SizedFace& sf) {
        auto it = faces.find(sf.key);
        if (it == faces.end() || std::get<FaceItem>(it->second->item).face.get() != &sf) return;
        charge(*it->second, faceCost(sf));
    }

    void charge(Node& node, size_t bytes) {
        total += bytes - node.bytes;
        node.bytes = bytes;
        while (total > TEXT_CACHE_BUDGET && order.size() > 1) dropOldest();
    }

    void dropOldest() {
        Node& last = order.back();
        total -= last.bytes;
        if (auto* f = std::get_if<FaceItem>(&last.item))
            faces.erase(f->key);
        else if (auto* g = std::get_if<GlyphItem>(&last.item))
            glyphs.erase(g->key);
        else
            masks.erase(std::get<MaskItem>(last.item).key);
        order.pop_back();
    }
};

TextCache& cache() {
    static TextCache c;
    return c;
}

std::u32string decodeUtf8(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) out += platform::nextUtf8(s, i);
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

int advanceOf(SizedFace& sf, char32_t c) { return cache().glyph(sf, c, false).metrics.advance; }

long long widthOf(SizedFace& sf, const std::u32string& s) {
    long long width = 0;
    for (char32_t c : s) width += advanceOf(sf, c);
    return width;
}

std::vector<std::u32string> breakInto(const std::u32string& text, SizedFace& sf, long long boxWidth) {
    std::vector<std::u32string> lines;
    std::u32string line;
    long long lineWidth = 0;
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
        long long width = widthOf(sf, piece);
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

// Whether a glyph box placed with its top left corner at (x, y) of the box meets the mask's window.
bool meets(const TextMask& mask, long long x, long long y, const platform::GlyphBox& b) {
    return x < mask.x + mask.width && x + b.width > mask.x && y < mask.y + mask.height && y + b.rows > mask.y;
}

// Draws a glyph with its pen at (x, y) of the mask, keeping the stronger coverage where glyphs
// overlap, clipped to the mask.
void drawGlyph(const platform::GlyphImage& g, long long x, long long y, TextMask& mask) {
    long long left = x + g.box.left, top = y - g.box.top;
    int x0 = (int)std::clamp(-left, 0LL, (long long)g.box.width);
    int x1 = (int)std::clamp(mask.width - left, 0LL, (long long)g.box.width);
    int y0 = (int)std::clamp(-top, 0LL, (long long)g.box.rows);
    int y1 = (int)std::clamp(mask.height - top, 0LL, (long long)g.box.rows);
    if (x0 >= x1) return;
    for (int gy = y0; gy < y1; ++gy) {
        uint8_t* dst = &mask.coverage[(size_t)(top + gy) * mask.width + (size_t)(left + x0)];
        const uint8_t* src = &g.coverage[(size_t)gy * g.box.width];
        for (int gx = x0; gx < x1; ++gx, ++dst) *dst = std::max(*dst, src[gx]);
    }
}

// Lays the lines out in the whole box (centred, from the top, cut at the box's bottom) and draws
// the glyphs that meet the mask's window into it.
void renderLines(const std::vector<std::u32string>& lines, SizedFace& sf, long long boxWidth, long long boxHeight,
                 TextMask& mask) {
    for (size_t n = 0; n < lines.size(); ++n) {
        long long top = (long long)n * sf.metrics.lineHeight;
        if (top >= boxHeight) break; // clipped at the box's bottom
        long long penX = (boxWidth - widthOf(sf, lines[n])) / 2;
        long long baseline = top + sf.metrics.ascent;
        for (char32_t c : lines[n]) {
            platform::GlyphMetrics m = cache().glyph(sf, c, false).metrics;
            if (meets(mask, penX + m.ink.left, baseline - m.ink.top, m.ink))
                drawGlyph(cache().glyph(sf, c, true).image, penX - mask.x, baseline - mask.y, mask);
            penX += m.advance;
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

// The window, kept within the box.
TextWindow within(TextWindow w, long long boxWidth, long long boxHeight) {
    w.x = std::clamp(w.x, 0LL, boxWidth);
    w.y = std::clamp(w.y, 0LL, boxHeight);
    w.width = (int)std::clamp<long long>(w.width, 0, boxWidth - w.x);
    w.height = (int)std::clamp<long long>(w.height, 0, boxHeight - w.y);
    return w;
}

} // namespace

std::vector<std::u32string> breakLines(const std::string& gbk, const TextStyle& style, int boxWidth) {
    std::shared_ptr<SizedFace> sf = cache().face(faceKeyOf(style));
    return breakInto(decodeUtf8(platform::gbkToUtf8(gbk)), *sf, boxWidth);
}

long long lineWidth(const std::u32string& line, const TextStyle& style) {
    std::shared_ptr<SizedFace> sf = cache().face(faceKeyOf(style));
    return widthOf(*sf, line);
}

const TextMask& layoutText(const std::string& gbk, const TextStyle& style, long long boxWidth, long long boxHeight,
                           const TextWindow& wanted) {
    boxWidth = std::max(0LL, boxWidth);
    boxHeight = std::max(0LL, boxHeight);
    MaskKey key{gbk, faceKeyOf(style), boxWidth, boxHeight, within(wanted, boxWidth, boxHeight)};
    return cache().mask(key, [&] {
        TextMask mask;
        mask.x = key.window.x;
        mask.y = key.window.y;
        mask.width = key.window.width;
        mask.height = key.window.height;
        mask.coverage.assign((size_t)mask.width * mask.height, 0);
        if (mask.width == 0 || mask.height == 0) return mask;
        std::shared_ptr<SizedFace> sf = cache().face(key.style);
        if (!sf->face) return mask;
        renderLines(breakInto(decodeUtf8(platform::gbkToUtf8(gbk)), *sf, boxWidth), *sf, boxWidth, boxHeight, mask);
        findSpans(mask);
        return mask;
    });
}

const TextMask& layoutText(const std::string& gbk, const TextStyle& style, long long boxWidth, long long boxHeight) {
    return layoutText(gbk, style, boxWidth, boxHeight, TextWindow{0, 0, INT_MAX, INT_MAX});
}

TextCacheStats textCacheStats() { return cache().stats(); }

void clearTextCache() { cache().clear(); }
