#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/press_hold.h"

using platform::PressHold;

namespace {

struct HoldCase {
    const char* scenario;
    std::vector<std::pair<int, long long>> presses; // key, moment
    int vk;
    long long at;
    bool held;
};

const HoldCase HOLD_CASES[] = {
    {"HeldAtTheMomentOfThePress", {{platform::VK_LBUTTON, 1000}}, platform::VK_LBUTTON, 1000, true},
    {"StillHeldJustBeforeTheHoldEnds", {{platform::VK_SPACE, 1000}}, platform::VK_SPACE, 1039, true},
    {"NoLongerHeldOnceTheHoldIsOver", {{platform::VK_SPACE, 1000}}, platform::VK_SPACE, 1040, false},
    {"APressAtClockZeroIsHeld", {{platform::VK_SPACE, 0}}, platform::VK_SPACE, 39, true},
    {"AnotherKeyIsNotHeld", {{platform::VK_SPACE, 1000}}, platform::VK_LBUTTON, 1000, false},
    {"ALaterPressStartsTheHoldAgain", {{'A', 1000}, {'A', 1030}}, 'A', 1060, true},
    {"TheLastKeyCodeIsKept", {{255, 1000}}, 255, 1010, true},
    {"ACodeAboveTheRangeDoesNotWrapOntoAnother", {{256, 1000}, {256 + 'A', 1000}}, 'A', 1000, false},
    {"ANegativeCodeIsIgnored", {{-1, 1000}}, -1, 1000, false},
    {"ACodeAboveTheRangeIsNeverHeld", {{256, 1000}}, 256, 1000, false},
};

class QuickPresses : public ::testing::TestWithParam<HoldCase> {};

TEST_P(QuickPresses, AreHeldForAMomentAfterTheyBegin) {
    const HoldCase& c = GetParam();
    PressHold hold;
    for (auto [vk, at] : c.presses) hold.pressed(vk, at);
    EXPECT_EQ(hold.held(c.vk, c.at), c.held);
}

INSTANTIATE_TEST_SUITE_P(PressHold, QuickPresses, ::testing::ValuesIn(HOLD_CASES),
                         [](const auto& info) { return std::string(info.param.scenario); });

} // namespace
