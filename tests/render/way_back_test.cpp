// The way back from the end screen on a touch screen: a tap goes back as the space key does, the
// prompt says so, a click of the mouse still does nothing, and a tap made before the screen was
// shown does not count. (Space, and the prompt without a touch screen: the end screen's tests.)
#include <stdexcept>

#include "battle_fixture.h"
#include "platform/headless/headless.h"
#include "render/way_back.h"

namespace {

class WayBack : public BattleScreen {
protected:
    int polls = 0;           // polls while the end screen waited
    bool endedEarly = false; // the match was marked over while it still waited

    // Runs `act` at the n-th poll of the end screen's wait, for each (n, act) given; gives up after
    // 1000 polls.
    void script(std::vector<std::pair<int, std::function<void()>>> steps) {
        headless::setCallback([this, steps] {
            if (headless::flushCount() == 0) return; // the board is still being drawn
            ++polls;
            endedEarly |= game.gameEnd;
            for (const auto& [at, act] : steps)
                if (polls == at) act();
            if (polls > 1000) throw std::runtime_error("still waiting");
        });
    }
};

TEST_F(WayBack, OnATouchScreenATapGoesBackAndThePromptNamesIt) {
    headless::setTouchScreen(true);
    open(1.0);
    pointAt(1200, 512); // over the end-turn button
    script({{10, [] { headless::setKey(VK_LBUTTON, true); }},
            {20, [] { headless::setKey(VK_LBUTTON, false); }},
            {100, [] { headless::tap(); }}});
    game.win();
    EXPECT_TRUE(game.gameEnd);
    EXPECT_FALSE(endedEarly) << "a click of the mouse does nothing";
    EXPECT_GE(polls, 100) << "the tap went back";
    EXPECT_LE(polls, 101) << "at once";
    EXPECT_EQ(headless::flushCount(), 1);
    EXPECT_FALSE(game.battle.nowTurn) << "the click did not reach the board";
    EXPECT_TRUE(textAt("轻触或按空格键返回……", 756, 600, 512, 32, 0xFFFFFF, colourOf("win")));
}

TEST_F(WayBack, ATapMadeBeforeTheScreenWasShownDoesNotCount) {
    headless::setTouchScreen(true);
    open(1.0);
    headless::tap(); // the tap that decided the match
    script({{200, [] { headless::setKey(VK_SPACE, true); }}});
    game.win();
    EXPECT_FALSE(endedEarly);
    EXPECT_EQ(polls, 200);
}

} // namespace
