#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/surface.h"

namespace headless = platform::headless;
using platform::keyDown;
using platform::openWindow;
using platform::sleepMs;
using platform::windowPointer;
using platform::WindowClosed;

class Headless : public ::testing::Test {
protected:
    void SetUp() override { headless::enable(); }
};

TEST_F(Headless, SleepMovesOnlyTheVirtualClock) {
    long long before = headless::clock();
    sleepMs(33);
    sleepMs(10);
    EXPECT_EQ(headless::clock() - before, 43);
    EXPECT_EQ(headless::sleepCount(), 2);
    keyDown(VK_SPACE);
    windowPointer();
    EXPECT_EQ(headless::clock() - before, 43) << "polls must not move the clock";
}

TEST_F(Headless, CallbackRunsBeforeEveryPollReads) {
    int calls = 0;
    headless::setCallback([&] {
        ++calls;
        headless::setKey(VK_SPACE, calls >= 3);
    });
    EXPECT_FALSE(keyDown(VK_SPACE));
    EXPECT_FALSE(keyDown(VK_SPACE));
    EXPECT_TRUE(keyDown(VK_SPACE)) << "the third poll sees what the callback set just before it";
    sleepMs(1);
    EXPECT_EQ(calls, 4);
}

TEST_F(Headless, ScriptedCloseUnwindsOutOfALoopThatNeverEnds) {
    headless::setCallback([] {
        if (headless::clock() >= 100) headless::closeWindow();
    });
    auto lobbyLike = [] {
        for (;;) {
            keyDown(VK_LBUTTON);
            sleepMs(10);
        }
    };
    EXPECT_THROW(lobbyLike(), WindowClosed);
    EXPECT_EQ(headless::clock(), 100);
}

TEST_F(Headless, EnableStartsEverythingClean) {
    headless::setKey(VK_SPACE, true);
    headless::setPointer(5, 6);
    sleepMs(20);
    openWindow(10, 10, true);
    headless::setTouchScreen(true);
    headless::tap();
    headless::closeWindow();
    headless::enable();
    EXPECT_FALSE(platform::touchScreen());
    EXPECT_FALSE(platform::tapped());
    EXPECT_FALSE(keyDown(VK_SPACE));
    EXPECT_EQ(windowPointer().x, 0);
    EXPECT_EQ(headless::clock(), 0);
    EXPECT_FALSE(headless::windowRequest().opened);
    EXPECT_NO_THROW(sleepMs(1));
}

TEST_F(Headless, AScriptedTapIsAnsweredOnce) {
    headless::tap();
    EXPECT_TRUE(platform::tapped());
    EXPECT_FALSE(platform::tapped());
}

TEST_F(Headless, FlushedFramesCanBeReadPixelByPixel) {
    initgraph(40, 30, 1);
    BeginBatchDraw();
    EXPECT_TRUE(headless::windowRequest().opened);
    EXPECT_EQ(headless::windowRequest().width, 40);
    EXPECT_TRUE(headless::windowRequest().keepTerminal);
    IMAGE pic(4, 4);
    for (uint32_t& p : pic.surface.pixels) p = 0x123456;
    TransparentBlt(GetImageHDC(nullptr), 3, 2, 4, 4, GetImageHDC(&pic), 0, 0, 4, 4, KEY_COLOUR);
    EXPECT_EQ(headless::pixel(3, 2), 0u) << "nothing is visible before the flush";
    FlushBatchDraw();
    EXPECT_EQ(headless::flushCount(), 1);
    EXPECT_EQ(headless::pixel(3, 2), 0x123456u);
    EXPECT_EQ(headless::pixel(7, 2), 0u);
}
