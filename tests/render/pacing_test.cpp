// The pace of an animation: each frame waits what is left of its share of the animation's time,
// never less than nothing, so that drawing and presenting do not stretch the animation. (With no
// time spent drawing every wait is the whole share: the animation's own tests.)
#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/pacing.h"

namespace {

namespace headless = platform::headless;

class Pace : public ::testing::Test {
protected:
    std::vector<int> waits; // every sleep the pace asked for, in order
    bool drawing = false;

    void SetUp() override {
        headless::enable();
        headless::setCallback([this] {
            if (headless::occasion().kind == headless::Occasion::SLEEP && !drawing)
                waits.push_back(headless::occasion().ms);
        });
    }
    void TearDown() override { headless::setCallback(nullptr); }

    // Frame k of `pace` after drawing that took `drawMs` (the virtual clock moved on by it).
    void frame(const AnimationPace& pace, int k, int drawMs) {
        drawing = true;
        if (drawMs > 0) platform::sleepMs(drawMs);
        drawing = false;
        pace.waitForFrame(k);
    }
};

TEST_F(Pace, AFrameWaitsOnlyWhatIsLeftOfItsShareAfterDrawing) {
    AnimationPace pace(250, 10);
    frame(pace, 0, 10);
    frame(pace, 1, 20);
    frame(pace, 2, 25);
    EXPECT_EQ(waits, (std::vector<int>{15, 5, 0}));
    EXPECT_EQ(headless::clock(), 75) << "three shares of 25 ms";
}

TEST_F(Pace, ALateFrameWaitsNothingAndTheNextOnesCatchUp) {
    AnimationPace pace(300, 10);
    frame(pace, 0, 70);
    frame(pace, 1, 0);
    frame(pace, 2, 0);
    frame(pace, 3, 0);
    EXPECT_EQ(waits, (std::vector<int>{0, 0, 20, 30})) << "due at 30, 60, 90 and 120 ms";
    EXPECT_EQ(headless::clock(), 120);
}

} // namespace
