// A Game on the headless window with the solid-colour test pictures, for tests that run the game
// from its driver or its lobby.
#pragma once

#include <gtest/gtest.h>

#include "card/card.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/surface.h"
#include "support/test_catalogue.h"

namespace testing_support {

class GameWindowTest : public ::testing::Test {
protected:
    Game game;

    void open(double rate) {
        platform::headless::enable();
        game.rate = rate;
        loadSolidCatalogue(game);
        initgraph((int)(1512 * rate), (int)(1024 * rate), 0);
        BeginBatchDraw();
        setbkmode(TRANSPARENT);
    }
    void TearDown() override {
        platform::headless::setCallback(nullptr);
        platform::headless::setFlushObserver(nullptr);
        reclaimMatchObjects();
    }
    // The pixel of a reference point in the last frame.
    uint32_t at(int x, int y) const {
        return platform::headless::pixel((int)(x * game.rate), (int)(y * game.rate));
    }
};

} // namespace testing_support
