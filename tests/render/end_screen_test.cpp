#include <stdexcept>

#include "battle_fixture.h"
#include "platform/headless/headless.h"
#include "render/layout.h"

namespace {

class EndScreen : public BattleScreen {
protected:
    // Ends a test that would otherwise wait for ever.
    static void failAfter(int polls, int& seen) {
        if (++seen > polls) throw std::runtime_error("still waiting");
    }
};

TEST_F(EndScreen, WinShowsTheResultOverTheFinalBoardAndWaitsForSpaceAlone) {
    open(1.0);
    putMinion(17);
    pointAt(1200, 512); // over the end-turn button
    int polls = 0, flushesWhileWaiting = -1;
    bool endedEarly = false;
    headless::setCallback([&] {
        if (headless::flushCount() == 0) return; // the board is still being drawn
        ++polls;
        endedEarly |= game.gameEnd;
        if (polls == 10) {
            headless::setKey(VK_LBUTTON, true);
            headless::setKey(platform::VK_RETURN, true);
        }
        if (polls == 20) headless::setKey(VK_LBUTTON, false);
        if (polls == 100) {
            flushesWhileWaiting = headless::flushCount();
            headless::setKey(VK_SPACE, true);
        }
        if (polls > 1000) throw std::runtime_error("still waiting");
    });
    game.win();
    EXPECT_TRUE(game.gameEnd);
    EXPECT_FALSE(endedEarly) << "the screen stays until space";
    EXPECT_GE(polls, 100);
    EXPECT_EQ(flushesWhileWaiting, 1) << "shown once, nothing redrawn while waiting";
    EXPECT_EQ(headless::flushCount(), 1);
    EXPECT_FALSE(game.battle.nowTurn) << "clicks on the board do nothing";
    EXPECT_EQ(at(756, 512), colourOf("win"));
    EXPECT_EQ(at(436, 362), colourOf("win"));
    EXPECT_EQ(at(436, 361), colourOf("bg"));
    EXPECT_EQ(at(435, 500), colourOf("bg"));
    EXPECT_EQ(at(CharPos[17].x, CharPos[17].y - 62), colourOf("min_n")) << "the board under the picture";
    EXPECT_TRUE(textAt("按空格键返回……", 756, 600, 512, 32, 0xFFFFFF, colourOf("win")));
}

TEST_F(EndScreen, ASpaceAlreadyHeldDismissesLoseAtOnce) {
    open(0.5);
    headless::setKey(VK_SPACE, true);
    int seen = 0;
    headless::setCallback([&] { failAfter(1000, seen); });
    game.lose();
    EXPECT_TRUE(game.gameEnd);
    EXPECT_EQ(headless::flushCount(), 1);
    EXPECT_EQ(at(756, 512), colourOf("lose"));
    EXPECT_EQ(at(1075, 661), colourOf("lose"));
    EXPECT_EQ(at(1077, 663), colourOf("bg"));
    EXPECT_TRUE(textAt("按空格键返回……", 756, 600, 512, 32, 0xFFFFFF, colourOf("lose")));
}

TEST_F(EndScreen, AMatchAlreadyDecidedShowsNoSecondScreen) {
    open(1.0);
    headless::setKey(VK_SPACE, true);
    game.win();
    std::vector<uint32_t> shown = headless::lastFrame();
    headless::setKey(VK_SPACE, false);
    int seen = 0;
    headless::setCallback([&] { failAfter(1000, seen); });
    // A later death in the same turn: the hooks still run after the end screen.
    EXPECT_NO_THROW(game.lose());
    EXPECT_NO_THROW(game.win());
    EXPECT_TRUE(game.gameEnd);
    EXPECT_EQ(headless::flushCount(), 1);
    EXPECT_EQ(headless::lastFrame(), shown);
}

} // namespace
