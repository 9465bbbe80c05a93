// A battle on the headless window with the solid-colour catalogue: board set-up, scripted
// clicks and pixel probes in reference units, shared by the drawing tests.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "card/card.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/surface.h"
#include "render/surface_internal.h"
#include "support/test_catalogue.h"

namespace headless = platform::headless;
using testing_support::colourOf;

class BattleScreen : public ::testing::Test {
protected:
    Game game;

    void SetUp() override { headless::enable(); }
    void TearDown() override {
        headless::setCallback(nullptr);
        reclaimMatchObjects();
    }

    // Opens the window at `rate` with the solid catalogue and an empty board, the player's turn.
    void open(double rate = 1.0) {
        game.rate = rate;
        testing_support::loadSolidCatalogue(game);
        initgraph((int)(1512 * rate), (int)(1024 * rate), 0);
        BeginBatchDraw();
        setbkmode(TRANSPARENT);
        game.gameEnd = false;
        game.battle = Battle();
        game.battle.c[0] = new MainHero(1, "my_main", 0, false, 0, 30, "浮游城");
        game.battle.c[1] = new MainHero(2, "op_main", 1, true, 0, 30, "你的敌人");
        for (int i = 2; i < 20; ++i) game.battle.c[i] = new Character(0, i, i > 10);
        game.status = FREE;
        game.cardChosen = -1;
        game.atkFrom = -1;
        game.atkTo = -1;
    }

    Minion* putMinion(int slot, int atk = 2, int hp = 3, int special = 0, int rarity = 0,
                      const char* pid = "c_newbie") {
        auto* m = new Minion(10, pid, slot, slot > 10, 1, atk, hp, rarity, "见习", "说明", special);
        game.battle.c[slot] = m;
        return m;
    }

    MinionCard* addHandCard(const char* pid = "c_newbie", int cost = 1) {
        auto* card = new MinionCard(10, pid, cost, 1, 2, 0, "说明", "见习", 0);
        game.battle.myCard.push_back(card);
        return card;
    }

    void frame() { game.battle.printBattle(&game, true); }

    // Reference units to the window's pixels, as the game converts them.
    int px(int v) const { return (int)(v * game.rate); }
    void pointAt(int x, int y) { headless::setPointer(px(x), px(y)); }
    uint32_t at(int x, int y) const { return headless::pixel(px(x), px(y)); }

    // The left button goes down now and comes up after `polls` more input polls: long enough for
    // the frame to reach the element under the pointer and wait there for the release.
    // `onRelease` runs at the moment of the release, before the element can act.
    void holdButton(int polls = 2000, std::function<void()> onRelease = nullptr) {
        headless::setKey(VK_LBUTTON, true);
        auto left = std::make_shared<int>(polls);
        headless::setCallback([left, onRelease] {
            if (*left > 0 && --*left == 0) {
                if (onRelease) onRelease();
                headless::setKey(VK_LBUTTON, false);
            }
        });
    }
    // A whole click at (x, y) handled by one frame.
    void clickFrame(int x, int y, std::function<void()> onRelease = nullptr) {
        pointAt(x, y);
        holdButton(2000, std::move(onRelease));
        frame();
        headless::setKey(VK_LBUTTON, false);
        headless::setCallback(nullptr);
    }

    // Whether the text appears in the frame exactly where a box of w x h reference units centred
    // on (cx, cy) puts it, in `colour` (0x00RRGGBB): every pixel the layout inks fully has that
    // colour and, when the box lies on one `background` colour, every pixel the layout leaves
    // alone keeps it and every pixel it mostly covers differs from it.
    ::testing::AssertionResult textAt(const std::string& text, int cx, int cy, int w, int h, uint32_t colour,
                                      std::optional<uint32_t> background = std::nullopt) const {
        double r = game.rate;
        int left = (int)(r * (cx - w / 2)), top = (int)(r * (cy - h / 2));
        int right = (int)(r * (cx + w / 2)), bottom = (int)(r * (cy + h / 2));
        TextStyle style{(int)(32 * r), (int)(16 * r), 1000, game.font};
        const TextMask& mask = layoutText(text, style, right - left, bottom - top);
        int full = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                if (x < 0 || y < 0 || x >= (int)(1512 * r) || y >= (int)(1024 * r)) continue;
                uint8_t a = mask.coverage[(size_t)(y - top) * mask.width + (x - left)];
                uint32_t p = headless::pixel(x, y);
                auto where = [&] {
                    std::ostringstream o;
                    o << "pixel (" << x << ", " << y << ") is " << std::hex << p;
                    return o.str();
                };
                if (a == 255 && p != colour)
                    return ::testing::AssertionFailure() << where() << ", not the text colour " << std::hex << colour;
                if (background && a == 0 && p != *background)
                    return ::testing::AssertionFailure() << where() << " outside the ink of the text";
                if (background && a >= 128 && p == *background)
                    return ::testing::AssertionFailure() << where() << ": not inked";
                full += a == 255;
            }
        if (full == 0) return ::testing::AssertionFailure() << "the text inks no pixel fully";
        return ::testing::AssertionSuccess();
    }

    // Whether a w x h rectangle of reference units from (x, y) is all one colour.
    bool solid(int x, int y, int w, int h, uint32_t colour) const {
        for (int yy = px(y); yy < px(y + h); ++yy)
            for (int xx = px(x); xx < px(x + w); ++xx)
                if (headless::pixel(xx, yy) != colour) return false;
        return true;
    }
};
