// The baked pictures fit the order and places they are drawn in: rings show around the board
// portraits, overlays leave faces visible, the taunt shield stays clear of its neighbour's badge,
// the end screens keep a dark band for their prompt, the turn button's place is no dark hole
// without it, and every number, rules text and card name the game writes onto a picture lies on
// it, readable, at all three window sizes (a name on its banner, clear of the badges), in Chinese
// and in English; so does the lobby button's caption in both languages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "card/card.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/png.h"
#include "render/language.h"
#include "render/layout.h"
#include "render/surface.h"
#include "render/surface_internal.h"
#include "support/catalogue_cards.h"

namespace {

// Relative luminance of a 0x00RRGGBB colour, and the contrast ratio of two, as defined for web text.
double luminance(uint32_t rgb) {
    auto linear = [](uint32_t c) {
        double v = c / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(rgb >> 16 & 0xFF) + 0.7152 * linear(rgb >> 8 & 0xFF) + 0.0722 * linear(rgb & 0xFF);
}

double contrast(uint32_t a, uint32_t b) {
    double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Which pixels of a baked picture are drawn (not the key colour).
struct Mask {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;

    explicit Mask(const std::string& stem) {
        platform::RgbaPicture p;
        std::string error;
        EXPECT_TRUE(platform::decodePng("asset/" + stem + ".png", p, error)) << stem << ": " << error;
        width = p.width;
        height = p.height;
        pixels = std::move(p.pixels);
    }
    bool drawn(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height && (pixels[(size_t)y * width + x] & 0xFFFFFF) != 0x7F7F7F;
    }
    uint32_t at(int x, int y) const { return pixels[(size_t)y * width + x] & 0xFFFFFF; }
    // Whether this picture, centred on the same point as `other` (anchor 4), draws at other's (x, y).
    bool drawnUnder(const Mask& other, int x, int y) const {
        return drawn(x - other.width / 2 + width / 2, y - other.height / 2 + height / 2);
    }
    // Drawn extent along the row or column through the centre: first and last drawn index.
    std::pair<int, int> rowSpan() const { return span(width, [&](int i) { return drawn(i, height / 2); }); }
    std::pair<int, int> columnSpan() const { return span(height, [&](int i) { return drawn(width / 2, i); }); }

private:
    template <class F> static std::pair<int, int> span(int n, F drawnAt) {
        int first = -1, last = -1;
        for (int i = 0; i < n; ++i)
            if (drawnAt(i)) {
                if (first < 0) first = i;
                last = i;
            }
        return {first, last};
    }
};

const char* const PORTRAITS[] = {"c_newbie", "c_hana", "c_priscilla", "c_claude",
                                 "c_fprincess", "c_ara", "c_ara_tentacle", "c_hit"};

bool insideEllipse(int x, int y, double cx, double cy, double rx, double ry) {
    double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

// On the board the ring layers are drawn first and the portrait over them, all centred: each ring
// must reach past the one above it on all four sides, and no portrait may reach past its ring.
TEST(ArtLayering, BoardRingsShowAroundEveryPortrait) {
    constexpr int MARGIN = 3;
    for (auto [outerStem, innerStem] : {std::pair{"min_g", "min_gi"}, std::pair{"min_n", "min_ni"}}) {
        Mask outer(outerStem), inner(innerStem);
        auto [ox0, ox1] = outer.rowSpan();
        auto [oy0, oy1] = outer.columnSpan();
        auto [ix0, ix1] = inner.rowSpan();
        auto [iy0, iy1] = inner.columnSpan();
        EXPECT_LE(ox0 - outer.width / 2, ix0 - inner.width / 2 - MARGIN) << outerStem;
        EXPECT_GE(ox1 - outer.width / 2, ix1 - inner.width / 2 + MARGIN) << outerStem;
        EXPECT_LE(oy0 - outer.height / 2, iy0 - inner.height / 2 - MARGIN) << outerStem;
        EXPECT_GE(oy1 - outer.height / 2, iy1 - inner.height / 2 + MARGIN) << outerStem;
        for (const char* stem : PORTRAITS) {
            Mask portrait(stem);
            auto [px0, px1] = portrait.rowSpan();
            auto [py0, py1] = portrait.columnSpan();
            EXPECT_LE(ix0 - inner.width / 2, px0 - portrait.width / 2 - MARGIN) << stem << " in " << innerStem;
            EXPECT_GE(ix1 - inner.width / 2, px1 - portrait.width / 2 + MARGIN) << stem << " in " << innerStem;
            EXPECT_LE(iy0 - inner.height / 2, py0 - portrait.height / 2 - MARGIN) << stem << " in " << innerStem;
            EXPECT_GE(iy1 - inner.height / 2, py1 - portrait.height / 2 + MARGIN) << stem << " in " << innerStem;
            int outside = 0;
            for (int y = 0; y < portrait.height; ++y)
                for (int x = 0; x < portrait.width; ++x)
                    if (portrait.drawn(x, y) && !inner.drawnUnder(portrait, x, y)) ++outside;
            EXPECT_EQ(outside, 0) << stem << " reaches past " << innerStem;
        }
    }
}

// The portrait is an oval (its corners are the key, so the board token is not a rectangle); the
// hand frames and the keyword outlines drawn over it leave the middle of the face open.
TEST(ArtLayering, OverlaysLeaveTheFaceOpen) {
    for (const char* stem : PORTRAITS) {
        Mask portrait(stem);
        EXPECT_TRUE(portrait.drawn(portrait.width / 2, portrait.height / 2)) << stem;
        for (auto [x, y] : {std::pair{0, 0}, {portrait.width - 1, 0}, {0, portrait.height - 1},
                            {portrait.width - 1, portrait.height - 1}})
            EXPECT_FALSE(portrait.drawn(x, y)) << stem << " corner " << x << "," << y;
    }
    for (const char* stem : {"card_com", "card_rare", "card_epic", "card_len", "revive", "shield", "immune"}) {
        Mask overlay(stem);
        int covered = 0;
        for (int y = 0; y < overlay.height; ++y)
            for (int x = 0; x < overlay.width; ++x)
                if (insideEllipse(x, y, overlay.width / 2.0, overlay.height / 2.0, 26, 36) && overlay.drawn(x, y))
                    ++covered;
        EXPECT_EQ(covered, 0) << stem << " covers the face";
    }
}

// Taunt is drawn first for a token. It must show beyond the rings, but the token up and to the left
// (drawn earlier, 100 units across and 100 up) has its health badge 60 units left of and above this
// token's centre, and the shield must not paint over it.
TEST(ArtLayering, TauntShowsAroundTheTokenAndClearOfTheNeighboursBadge) {
    Mask taunt("taunt"), badge("hp");
    for (const char* ring : {"min_g", "min_n"}) {
        Mask r(ring);
        auto [rx0, rx1] = r.rowSpan();
        auto [tx0, tx1] = taunt.rowSpan();
        auto [ry0, ry1] = r.columnSpan();
        auto [ty0, ty1] = taunt.columnSpan();
        (void)ry0;
        (void)ty0;
        EXPECT_LE(tx0 - taunt.width / 2, rx0 - r.width / 2 - 4) << "left of " << ring;
        EXPECT_GE(tx1 - taunt.width / 2, rx1 - r.width / 2 + 4) << "right of " << ring;
        EXPECT_GE(ty1 - taunt.height / 2, ry1 - r.height / 2 + 8) << "below " << ring;
    }
    for (const char* under : {"taunt", "min_g", "min_n"}) {
        Mask m(under);
        int overlap = 0;
        for (int y = 0; y < badge.height; ++y)
            for (int x = 0; x < badge.width; ++x) {
                if (!badge.drawn(x, y)) continue;
                // The badge's pixel in the coordinates of the picture centred on this token.
                int mx = x - badge.width / 2 - 60 + m.width / 2, my = y - badge.height / 2 - 60 + m.height / 2;
                if (m.drawn(mx, my)) ++overlap;
            }
        EXPECT_EQ(overlap, 0) << under << " covers the neighbouring token's health badge";
    }
}

// The end screens are centred at (756, 512), 640 x 300; the white prompt is printed centred at
// (756, 600): in the picture, around (320, 238). Where its characters fall the picture is dark.
TEST(ArtLayering, EndScreensKeepADarkBandForThePrompt) {
    for (const char* stem : {"win", "lose"}) {
        Mask m(stem);
        ASSERT_EQ(m.width, 640);
        ASSERT_EQ(m.height, 300);
        int bright = 0;
        for (int y = 238 - 14; y <= 238 + 14; ++y)
            for (int x = 320 - 120; x <= 320 + 120; ++x) {
                uint32_t p = m.at(x, y);
                if (!m.drawn(x, y) || (p >> 16 & 0xFF) > 64 || (p >> 8 & 0xFF) > 64 || (p & 0xFF) > 64) ++bright;
            }
        EXPECT_EQ(bright, 0) << stem;
    }
}

// The turn button (178 x 128 from (1132, 448)) is not drawn while a card, an attacker or a target is
// being chosen. Its place must not then look like an empty socket, a dark hole where a button is
// missing: hardly anything there is much darker than the plain mat beside it.
TEST(ArtLayering, TheTurnButtonsPlaceIsNoDarkHoleWithoutTheButton) {
    Mask bg("bg");
    double mat = luminance(bg.at(1400, 512));
    int dark = 0, all = 0;
    for (int y = 448; y < 576; ++y)
        for (int x = 1132; x < 1310; ++x, ++all) dark += luminance(bg.at(x, y)) < mat / 2;
    EXPECT_LT(dark, all / 20) << "of " << all << " pixels";
}

// ---- text written onto pictures ----------------------------------------------------------------
// The text boxes and the 32-unit font are the drawing code's; only the pictures under them change.

constexpr COLORREF DAMAGED_RED = 0x4040FF; // the colour of health below its maximum
// Readable: every pixel the text mostly inks, and every pixel within its margin, lies on picture
// pixels against which the text colour has at least the contrast ratio asked of ordinary web text.
constexpr double MIN_CONTRAST = 4.5;
constexpr int RULES_MARGIN = 10; // reference units of parchment kept around the rules text
constexpr int NAME_MARGIN = 2;   // and of the dark banner around a card's name or a button's caption

uint32_t rgbOf(COLORREF c) { return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }

struct Layer {
    std::string id;
    int x, y, anchor;
};

// A text the game writes onto pictures: the pictures drawn before it, in drawing order; the one it
// must lie inside (-1: none); its box and colours; what it can say; the margin it keeps; whether
// it must also stay off every picture drawn after that one (a name off the badges on its banner).
struct Writing {
    std::string what;
    std::vector<Layer> layers;
    int badge;
    int cx, cy, w, h;
    std::vector<COLORREF> colours;
    const std::vector<std::string>& texts;
    int margin;
    bool alone = false;
};

// One text of every card of the catalogue.
std::vector<std::string> everyCards(std::string Card::*text) {
    std::vector<std::string> t;
    for (Card* c : std::initializer_list<Card*>{cardCatalogue::newbie(), cardCatalogue::hana(),
                                                cardCatalogue::priscilla(), cardCatalogue::claude(),
                                                cardCatalogue::fprincess(), cardCatalogue::ara(),
                                                cardCatalogue::araTentacle(), cardCatalogue::hit()}) {
        t.push_back(c->*text);
        delete c;
    }
    return t;
}

// The texts and, after them, the English of those that have an entry.
std::vector<std::string> withEnglish(std::vector<std::string> texts) {
    size_t chinese = texts.size();
    for (size_t i = 0; i < chinese; ++i)
        if (const char* english = englishEntry(texts[i])) texts.push_back(english);
    return texts;
}

std::vector<Writing> writings() {
    static const std::vector<std::string> numbers = [] {
        std::vector<std::string> n;
        for (int i = 10; i < 100; ++i) n.push_back(std::to_string(i));
        return n;
    }();
    // Every card's rules text in both languages, and one long enough to run past the bottom of the
    // box.
    static const std::vector<std::string> rules = [] {
        std::vector<std::string> t = withEnglish(everyCards(&Card::detail));
        t.push_back("【战吼】【亡语】【吸血】【嘲讽】【圣盾】：在你的回合结束时，对所有敌人造成 10 点伤害，"
                    "再为你的英雄恢复 10 点生命值，然后抽两张牌。");
        return t;
    }();
    // Every card's name in both languages, the longest of them (9 wide characters) included.
    static const std::vector<std::string> names = withEnglish(everyCards(&Card::name));
    std::vector<Writing> all;
    // Every two-digit number, centred on layer `badge`, in a box `w` across.
    auto number = [&](const std::string& what, const std::vector<Layer>& layers, int badge, int w,
                      std::vector<COLORREF> colours) {
        all.push_back({what, layers, badge, layers[badge].x, layers[badge].y, w, 32, colours, numbers, 0});
    };
    for (int slot = 0; slot < 20; ++slot) {
        int x = CharPos[slot].x, y = CharPos[slot].y;
        std::string where = (slot < 2 ? " of the hero in slot " : " of the minion in slot ") + std::to_string(slot);
        std::vector<Layer> token = {{"atk", x - 40, y + 40, 4}, {"hp", x + 40, y + 40, 4}};
        if (slot < 2) token = {{slot ? "op_main" : "my_main", x, y, 4}, {"hp+", x + 40, y + 40, 4}};
        else number("attack" + where, token, 0, 40, {WHITE});
        number("health" + where, token, 1, 40, {WHITE, DAMAGED_RED});
    }
    for (int pos = 0; pos < 8; ++pos) {
        int x = CardPos[pos].x, y = CardPos[pos].y;
        std::vector<Layer> card = {{"sp2", x + 41, y + 142, 4}, {"atk", x, y + 112, 4}, {"hp", x + 82, y + 112, 4}};
        std::string where = " of the hand card at " + std::to_string(pos);
        number("cost" + where, card, 0, 46, {BLACK});
        number("attack" + where, card, 1, 46, {WHITE});
        number("health" + where, card, 2, 46, {WHITE});
    }
    int x = 1130, y = 114;
    for (const char* frame : {"card_com_l", "card_rare_l", "card_epic_l", "card_len_l"}) {
        std::vector<Layer> large = {{"card_bg_l", x + 32, y + 32, 0}, {"c_priscilla_l", x + 32, y + 32, 0},
                                    {frame, x, y, 0},                 {"atk+", x, y + 494, 4},
                                    {"hp+", x + 328, y + 494, 4},     {"sp+", x, y, 4}};
        std::string where = std::string(" in the large view framed by ") + frame;
        all.push_back({"rules text" + where, large, -1, x + 164, y + 390, 260, 140, {BLACK}, rules, RULES_MARGIN});
        all.push_back({"name" + where, large, 2, x + 164, y + 520, 330, 32, {WHITE}, names, NAME_MARGIN, true});
        if (frame != std::string("card_com_l")) continue; // the badges are drawn over every frame alike
        number("attack" + where, large, 3, 46, {WHITE});
        number("health" + where, large, 4, 46, {WHITE, DAMAGED_RED});
        number("cost" + where, large, 5, 46, {WHITE});
    }
    // The lobby button's caption (cyan), in Chinese and in English, on the medallion's dark middle.
    static const std::vector<std::string> captions = {"冒险模式", englishEntry("冒险模式") ? englishEntry("冒险模式") : ""};
    all.push_back({"the lobby button's caption", {{"lobby", 0, 0, 0}, {"b_adv", 870, 430, 0}}, 1, 970, 530, 200, 32,
                   {0xFFFF00}, captions, NAME_MARGIN});
    return all;
}

constexpr uint32_t UNDRAWN = ~0u;

// The colours pictures leave in a w x h rectangle of the window from (left, top), UNDRAWN where
// they draw nothing: drawn over a black and then a white backdrop, a pixel is theirs where both agree.
std::vector<uint32_t> compose(Game& game, const std::vector<Layer>& layers, int left, int top, int width, int height) {
    std::vector<uint32_t> c;
    for (uint32_t backdrop : {0u, 0xFFFFFFu}) {
        IMAGE fill(width, height);
        std::fill(fill.surface.pixels.begin(), fill.surface.pixels.end(), backdrop);
        TransparentBlt(GetImageHDC(nullptr), left, top, width, height, GetImageHDC(&fill), 0, 0, width, height,
                       KEY_COLOUR);
        for (const Layer& l : layers) game.printPic(l.id, l.x, l.y, l.anchor);
        drawRecordedFrame();
        const Surface& frame = *GetImageHDC(nullptr);
        for (int y = top, i = 0; y < top + height; ++y)
            for (int x = left; x < left + width; ++x, ++i) {
                bool inside = x >= 0 && y >= 0 && x < frame.width && y < frame.height;
                uint32_t p = inside ? frame.pixels[(size_t)y * frame.width + x] : UNDRAWN;
                if (!backdrop) c.push_back(p);
                else if (c[i] != p) c[i] = UNDRAWN;
            }
    }
    return c;
}

// How many pixels break a rule, and the first of them.
struct Count {
    int n = 0;
    std::string first;
    void add(int x, int y, const std::string& why = "") {
        if (n++ == 0) first = "(" + std::to_string(x) + ", " + std::to_string(y) + ")" + why;
    }
};

struct Findings {
    Count outsideBadge; // inked pixels not on the badge's own pixels
    Count unreadable;   // pixels of the ink or its margin without the contrast asked
    Count covered;      // inked pixels on a picture drawn after the badge (for texts that stay alone)
};

Findings examine(Game& game, const Writing& w) {
    double r = game.rate;
    int left = (int)(r * (w.cx - w.w / 2)), top = (int)(r * (w.cy - w.h / 2)), m = (int)(w.margin * r);
    int bw = (int)(r * (w.cx + w.w / 2)) - left, bh = (int)(r * (w.cy + w.h / 2)) - top, gw = bw + 2 * m;
    // The most any of the texts inks each pixel: the rules hold per pixel, so for every text at once.
    TextStyle style{(int)(32 * r), (int)(16 * r), 1000, game.font};
    std::vector<uint8_t> ink((size_t)bw * bh);
    for (const std::string& text : w.texts) {
        const TextMask& mask = layoutText(text, style, bw, bh);
        for (size_t i = 0; i < ink.size(); ++i) ink[i] = std::max(ink[i], mask.coverage[i]);
    }
    Findings f;
    std::vector<uint32_t> under = compose(game, w.layers, left - m, top - m, gw, bh + 2 * m), badge;
    if (w.badge >= 0) badge = compose(game, {w.layers[w.badge]}, left, top, bw, bh);
    std::vector<uint32_t> later;
    if (w.alone) later = compose(game, {w.layers.begin() + w.badge + 1, w.layers.end()}, left, top, bw, bh);
    // The mostly inked pixels grown by the margin, over the box padded by it.
    std::vector<bool> grown(under.size());
    for (int y = 0, i = 0; y < bh; ++y)
        for (int x = 0; x < bw; ++x, ++i) {
            if (ink[i] && !badge.empty() && badge[i] == UNDRAWN) f.outsideBadge.add(left + x, top + y);
            if (ink[i] && !later.empty() && later[i] != UNDRAWN) f.covered.add(left + x, top + y);
            for (int dy = 0; ink[i] >= 128 && dy <= 2 * m; ++dy)
                std::fill_n(grown.begin() + (y + dy) * gw + x, 2 * m + 1, true);
        }
    for (COLORREF colour : w.colours)
        for (size_t i = 0; i < grown.size(); ++i) {
            double ratio = under[i] == UNDRAWN ? 1.0 : contrast(rgbOf(colour), under[i]);
            if (grown[i] && ratio < MIN_CONTRAST)
                f.unreadable.add(left - m + (int)i % gw, top - m + (int)i / gw, " has " + std::to_string(ratio));
        }
    return f;
}

// Each window size with the baked catalogue loaded at its scale.
template <class Check> void atEveryWindowSize(Check check) {
    platform::headless::enable();
    for (double rate : {1.0, 0.75, 0.5}) {
        Game game;
        game.rate = rate;
        game.loadAssets();
        initgraph((int)(1512 * rate), (int)(1024 * rate));
        BeginBatchDraw();
        for (const Writing& w : writings()) check(game, w, examine(game, w));
    }
}

TEST(ArtText, EveryNumberAndCaptionLiesInsideItsPicture) {
    atEveryWindowSize([](Game& game, const Writing& w, const Findings& f) {
        if (w.badge < 0 || w.alone) return;
        EXPECT_EQ(f.outsideBadge.n, 0) << w.what << " at rate " << game.rate << ": first off the badge "
                                       << f.outsideBadge.first;
    });
}

TEST(ArtText, EveryCardNameLiesOnItsBannerClearOfTheBadges) {
    atEveryWindowSize([](Game& game, const Writing& w, const Findings& f) {
        if (!w.alone) return;
        EXPECT_EQ(f.outsideBadge.n, 0) << w.what << " at rate " << game.rate << ": first off the banner "
                                       << f.outsideBadge.first;
        EXPECT_EQ(f.covered.n, 0) << w.what << " at rate " << game.rate << ": first on a badge " << f.covered.first;
    });
}

TEST(ArtText, TextAndItsMarginLieOnPixelsItContrastsWith) {
    atEveryWindowSize([](Game& game, const Writing& w, const Findings& f) {
        EXPECT_EQ(f.unreadable.n, 0) << w.what << " at rate " << game.rate << ": first " << f.unreadable.first;
    });
}

} // namespace
