// The baked pictures fit the order and places they are drawn in: rings show around the board
// portraits, overlays leave faces visible, the taunt shield stays clear of its neighbour's badge,
// and the end screens keep a dark band for their prompt.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"

namespace {

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

} // namespace
