// The scene of the frame benchmarks (bench/frame.cpp, and bench/frame_loop.cpp natively and in the
// browser build): a battle in the player's turn, late in the match, on the headless backend. The
// pictures are the baked catalogue when asset/ is in the working directory, and the tests' solid
// pictures otherwise (every pixel opaque, so every pixel of every picture is copied).
#pragma once

#include <filesystem>

#include "card/card.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/layout.h"
#include "render/surface.h"
#include "render/surface_internal.h"
#include "support/test_catalogue.h"

namespace bench_scene {

constexpr int W = 1512, H = 1024;

inline bool bakedPictures() { return std::filesystem::exists("asset/content.ini"); }

// A battle in the player's turn, late in the match: both sides' nine places taken, every
// minion with all five keywords, some of them wounded, and eight cards in hand.
struct FullBattle {
    Game game;
    // Where the pointer rests in turn: over a hand card and over one of the player's minions,
    // both showing the large view, so that no two frames in a row are the same.
    int hover[2][2];

    explicit FullBattle(double rate) {
        platform::headless::enable();
        reclaimMatchObjects();
        game.rate = rate;
        if (bakedPictures())
            game.loadAssets();
        else
            testing_support::loadSolidCatalogue(game);
        initgraph((int)(W * rate), (int)(H * rate), 0);
        BeginBatchDraw();
        setbkmode(TRANSPARENT);

        Battle& b = game.battle;
        b.c[0] = new MainHero(1, "my_main", 0, false, 0, 30, "浮游城");
        b.c[1] = new MainHero(2, "op_main", 1, true, 0, 30, "你的敌人");
        b.c[0]->nowhp = 17;
        MinionCard* (*const kinds[])() = {cardCatalogue::newbie,    cardCatalogue::hana, cardCatalogue::priscilla,
                                          cardCatalogue::claude,    cardCatalogue::fprincess, cardCatalogue::ara,
                                          cardCatalogue::araTentacle};
        for (int slot = 2; slot < 20; ++slot) {
            MinionCard* card = kinds[slot % 7]();
            Minion* m = makeBoardMinion(*card, slot, slot > 10);
            m->special = REVIVE | SHIELD | IMMUNE | LIFESTEAL | TAUNT;
            m->atkCnt = 1;
            if (slot % 3 == 0) m->nowhp = m->hp - 1;
            b.c[slot] = m;
        }
        for (int i = 0; i < 8; ++i) b.myCard.push_back(kinds[i % 7]());
        for (int i = 0; i < 20; ++i) b.myDeck.push_back(cardCatalogue::newbie());
        for (int i = 0; i < 12; ++i) b.opDeck.push_back(cardCatalogue::newbie());
        for (int i = 0; i < 6; ++i) b.opCard.push_back(cardCatalogue::newbie());
        b.mySpMax = 10;
        b.mySp = 4;
        b.opSpMax = 10;
        b.opSp = 7;
        b.nowTurn = false;
        game.status = FREE;
        game.cardChosen = -1;
        game.atkFrom = -1;
        game.gameEnd = false;
        hover[0][0] = (int)((CardPos[2].x + 40) * rate);
        hover[0][1] = (int)((CardPos[2].y + 40) * rate);
        hover[1][0] = (int)(CharPos[6].x * rate);
        hover[1][1] = (int)(CharPos[6].y * rate);
    }

    void pointAt(int which) { platform::headless::setPointer(hover[which][0], hover[which][1]); }
};

} // namespace bench_scene
