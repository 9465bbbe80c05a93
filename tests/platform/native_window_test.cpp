// The native backend's shared rules, over a stand-in for the system's window: what every system
// (Linux, Windows, the browser) gets without writing it again.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/window_driver.h"

namespace {

using platform::Point;

// What the stand-in was asked, and what it answers.
struct StandIn {
    bool open = false;
    bool openFails = false;
    bool closedByPlayer = false;
    Point client{100, 50};
    Point pointer;
    bool down = false;
    std::vector<int> rests;
    int restStretch = 1; // each rest lasts this many times what was asked
    int pumps = 0;
    std::vector<Point> shown;
};
StandIn standIn;

const platform::detail::WindowDriver STAND_IN = {
    [](Point frame, bool, std::string& error) {
        if (standIn.openFails) {
            error = "no display here";
            return false;
        }
        standIn.open = true;
        standIn.client = frame;
        return true;
    },
    [] { return standIn.open; },
    [] {
        ++standIn.pumps;
        return !standIn.closedByPlayer;
    },
    [](int) { return standIn.down; },
    [] { return standIn.pointer; },
    [] { return standIn.client; },
    [](const uint32_t*, Point size) { standIn.shown.push_back(size); },
    [](int ms) {
        standIn.rests.push_back(ms);
        std::this_thread::sleep_for(std::chrono::milliseconds(ms * standIn.restStretch));
    },
    [] { return Point{1366, 768}; },
};

class NativeWindow : public ::testing::Test {
protected:
    void SetUp() override {
        standIn = StandIn{};
        platform::headless::disable();
        platform::detail::useWindowDriver(STAND_IN);
    }
    void TearDown() override {
        platform::detail::useWindowDriver(platform::detail::SYSTEM_WINDOW);
        platform::headless::enable();
    }
};

// Linux's and Windows's windows leave touch out of their tables: no touch screen, never a tap.
TEST_F(NativeWindow, AWindowThatLeavesTouchOutIsNeverTapped) {
    platform::openWindow(100, 50, false);
    EXPECT_FALSE(platform::touchScreen());
    EXPECT_FALSE(platform::tapped());
}

TEST_F(NativeWindow, ASleepIsCutIntoShortRestsWithTheWindowServicedBetween) {
    platform::openWindow(100, 50, false);
    int pumpsBefore = standIn.pumps;
    auto start = std::chrono::steady_clock::now();
    platform::sleepMs(35);
    // The clock counts whole milliseconds: the sleep may end up to one of them early.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(34)) << "never shorter";
    ASSERT_FALSE(standIn.rests.empty());
    for (int ms : standIn.rests) EXPECT_LE(ms, 10);
    EXPECT_GT(standIn.pumps - pumpsBefore, (int)standIn.rests.size()) << "a pump before and after every rest";
    // A sleep of nothing (a search giving the page its turn) still rests: a browser runs the page then.
    standIn.rests.clear();
    platform::sleepMs(0);
    EXPECT_EQ(standIn.rests, std::vector<int>{0});
}

// A browser gives at least 4 ms for a wait of 1: a loop that only polls must still be seen idle,
// and wait longer between its polls, after about two seconds, not four times as late.
TEST_F(NativeWindow, ALoopThatOnlyPollsWaitsLongerAfterTwoSecondsHoweverLongTheSystemsWaitsAre) {
    using Seconds = std::chrono::duration<double>;
    standIn.restStretch = 4;
    platform::openWindow(100, 50, false);
    auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] { return Seconds(std::chrono::steady_clock::now() - start).count(); };
    double longerAt = -1;
    while (longerAt < 0 && elapsed() < 6) {
        platform::keyDown(platform::VK_SPACE);
        if (!standIn.rests.empty() && standIn.rests.back() > 1) longerAt = elapsed();
    }
    EXPECT_GE(longerAt, 1.9) << "an active loop keeps its shortest waits for two seconds";
    EXPECT_LT(longerAt, 4.0) << "then it waits longer, however long the system's waits were";
    ASSERT_GT(standIn.rests.size(), 100u);
    for (size_t i = 0; i + 1 < standIn.rests.size(); ++i) ASSERT_EQ(standIn.rests[i], 1) << "rest " << i;
}

// The game's waiting loops sleep now and then between their polls: such a loop is not busy, however
// many polls it makes in all, and its polls never wait.
TEST_F(NativeWindow, ALoopThatSleepsNowAndThenIsNeverSlowed) {
    platform::openWindow(100, 50, false);
    for (int round = 0; round < 4; ++round) {
        size_t rests = standIn.rests.size();
        for (int poll = 0; poll < 200; ++poll) platform::keyDown(platform::VK_SPACE);
        ASSERT_EQ(standIn.rests.size(), rests) << "polls waited in round " << round;
        platform::sleepMs(1);
    }
}

TEST_F(NativeWindow, OnlyAFrameOfTheWindowsSizeIsShown) {
    std::vector<uint32_t> pixels(200 * 100);
    platform::present(pixels.data(), 200, 100); // before the window opens: nowhere to show it
    platform::openWindow(200, 100, false);
    for (Point other : {Point{100, 50}, Point{200, 50}, Point{100, 100}}) // both sides wrong, or one
        platform::present(pixels.data(), other.x, other.y);
    platform::present(pixels.data(), 200, 100);
    ASSERT_EQ(standIn.shown.size(), 1u);
    EXPECT_EQ(standIn.shown[0].x, 200);
}

TEST_F(NativeWindow, ThePointerIsMappedBackThroughTheStretchedWindow) {
    EXPECT_EQ(platform::windowPointer().x, 0) << "no window, no pointer";
    platform::openWindow(100, 50, false);
    standIn.client = {300, 100}; // twice the frame's height: bars of 50 pixels left and right
    standIn.pointer = {150, 60};
    Point p = platform::windowPointer();
    EXPECT_EQ(p.x, 50);
    EXPECT_EQ(p.y, 30);
    standIn.pointer = {20, 60};
    EXPECT_LT(platform::windowPointer().x, 0) << "on the left bar";
}

TEST_F(NativeWindow, AQuickPressReadsDownAtTheNextPollOnlyWhileTheWindowIsOpen) {
    platform::detail::notePress(platform::VK_SPACE);
    EXPECT_FALSE(platform::keyDown(platform::VK_SPACE)) << "no window to have pressed it in";
    platform::openWindow(100, 50, false);
    platform::detail::notePress(platform::VK_SPACE);
    EXPECT_TRUE(platform::keyDown(platform::VK_SPACE)) << "released before the poll, still seen";
    EXPECT_FALSE(platform::keyDown(platform::VK_RETURN));
}

// Ending the program is seen from another process: where there is none to have (the browser),
// these are left out.
#if GTEST_HAS_DEATH_TEST
using NativeWindowEnd = NativeWindow;

TEST_F(NativeWindowEnd, AWindowThatCannotBeOpenedIsSaidAndEndsTheProgram) {
    standIn.openFails = true;
    EXPECT_EXIT(platform::openWindow(100, 50, false), ::testing::ExitedWithCode(1),
                "cannot open the game window: no display here");
}

TEST_F(NativeWindowEnd, ClosingTheWindowEndsTheProgramCleanly) {
    platform::openWindow(100, 50, false);
    standIn.closedByPlayer = true;
    EXPECT_EXIT(platform::sleepMs(20), ::testing::ExitedWithCode(0), "");
}
#endif

} // namespace
