// A match board for rule tests: half-scale window with the solid test pictures, both heroes at
// 30 health, every minion place empty, the opponent's AI in place and the random picks seeded.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "ai/ai.h"
#include "card/card.h"
#include "game/game.h"
#include "game/random.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/surface.h"
#include "support/test_catalogue.h"

namespace testing_support {

class BoardTest : public ::testing::Test {
protected:
    Game game;
    AI ai;
    Battle& b = game.battle;

    void SetUp() override {
        platform::headless::enable();
        game.rate = 0.5;
        game.pmap = sharedCatalogue().pmap;
        initgraph(756, 512);
        BeginBatchDraw();
        seedRandom(1);
        game.ai = &ai;
        game.status = DISABLE;
        b.c[0] = new MainHero(1, "my_main", 0, false, 0, 30, "浮游城");
        b.c[1] = new MainHero(2, "op_main", 1, true, 0, 30, "你的敌人");
        for (int slot = 2; slot < 20; ++slot) b.c[slot] = new Character(0, slot, slot >= 11);
        b.turn = 1;
        b.nowTurn = false;
        script(nullptr);
    }

    void TearDown() override {
        platform::headless::setCallback(nullptr);
        reclaimMatchObjects();
    }

    // A plain minion (the newbie's class) of the slot's side, ready to attack.
    Minion* put(int slot, int atk, int hp, int special = 0) {
        Minion* m = new Minion(10, "c_newbie", slot, slot >= 11, 1, atk, hp, 0, "", "", special);
        m->atkCnt = 1;
        b.c[slot] = m;
        return m;
    }

    // A catalogue card's minion, put on the board the way playing it does.
    template <class T>
    T* summon(MinionCard* card, int slot) {
        card->genMinion(&game, slot, slot >= 11);
        return dynamic_cast<T*>(b.c[slot]);
    }

    Character* hero(bool camp) { return b.c[camp ? 1 : 0]; }
    bool empty(int slot) { return b.c[slot]->id == 0; }

    std::vector<int> marked() const {
        std::vector<int> slots;
        for (int i = 0; i < 20; ++i)
            if (b.canAsTarget[i]) slots.push_back(i);
        return slots;
    }

    // Runs `script` at every poll and sleep; a test stuck in a wait ends instead of hanging.
    void script(std::function<void()> step) {
        platform::headless::setCallback([step, calls = 0L]() mutable {
            if (++calls > 2000000 || platform::headless::clock() > 3600000)
                throw std::runtime_error("the game is stuck waiting");
            if (step) step();
        });
    }

    // Answers the player's battle-cry pick the way a click on a marked slot does.
    void answerPickWith(int slot) {
        script([this, slot] {
            if (game.status == ATKCARD && game.atkTo == -2) {
                game.atkTo = slot;
                game.atkFrom = -1;
                game.status = FREE;
            }
        });
    }

private:
    static Game& sharedCatalogue() {
        static Game holder;
        if (holder.pmap.empty()) {
            holder.rate = 0.5;
            loadSolidCatalogue(holder);
        }
        return holder;
    }
};

} // namespace testing_support
