// Touch through the seam: only a window that takes it (the browser's) answers; every other
// system's, which leaves it out, has no touch screen and is never tapped; the headless backend
// answers what the test scripts.
#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/window_driver.h"

namespace {

using platform::Point;

struct Touch {
    bool screen = true;
    int taps = 0;
};
Touch touch;

// A window of a system: without touch as Linux's and Windows's, or with it as the browser's.
const platform::detail::WindowDriver WITHOUT_TOUCH = {
    [](Point, bool, std::string&) { return true; },
    [] { return true; },
    [] { return true; },
    [](int) { return false; },
    [] { return Point{}; },
    [] { return Point{100, 50}; },
    [](const uint32_t*, Point) {},
    [](int) {},
    [] { return Point{1366, 768}; },
};
platform::detail::WindowDriver withTouch() {
    platform::detail::WindowDriver driver = WITHOUT_TOUCH;
    driver.touchScreen = [] { return touch.screen; };
    driver.tapped = [] {
        bool was = touch.taps > 0;
        touch.taps = 0;
        return was;
    };
    return driver;
}

class NativeTouch : public ::testing::Test {
protected:
    void SetUp() override {
        touch = Touch{};
        platform::headless::disable();
    }
    void TearDown() override {
        platform::detail::useWindowDriver(platform::detail::SYSTEM_WINDOW);
        platform::headless::enable();
    }
};

TEST_F(NativeTouch, AWindowThatLeavesTouchOutIsNeverTapped) {
    platform::detail::useWindowDriver(WITHOUT_TOUCH);
    platform::openWindow(100, 50, false);
    EXPECT_FALSE(platform::touchScreen());
    EXPECT_FALSE(platform::tapped());
}

TEST_F(NativeTouch, AWindowThatTakesTouchAnswersATapOnce) {
    static const platform::detail::WindowDriver driver = withTouch();
    platform::detail::useWindowDriver(driver);
    platform::openWindow(100, 50, false);
    EXPECT_TRUE(platform::touchScreen());
    touch.taps = 2;
    EXPECT_TRUE(platform::tapped());
    EXPECT_FALSE(platform::tapped()) << "taps since it was last asked, however many";
}

TEST(HeadlessTouch, NoTouchScreenAndNoTapUnlessScriptedAndEnablingAgainClearsThem) {
    platform::headless::enable();
    EXPECT_FALSE(platform::touchScreen());
    EXPECT_FALSE(platform::tapped());
    platform::headless::setTouchScreen(true);
    platform::headless::tap();
    EXPECT_TRUE(platform::touchScreen());
    EXPECT_TRUE(platform::tapped());
    EXPECT_FALSE(platform::tapped());
    platform::headless::tap();
    platform::headless::enable();
    EXPECT_FALSE(platform::touchScreen());
    EXPECT_FALSE(platform::tapped());
}

} // namespace
