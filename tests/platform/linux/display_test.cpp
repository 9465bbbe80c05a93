// Which display the game window may open on, and the word said when there is none: SDL is never
// left to fall through to a driver that shows the player nothing.
#include <gtest/gtest.h>

#include "platform/linux/display.h"

namespace {

using platform::detail::DisplayEnvironment;

struct DisplayCase {
    const char* name;
    DisplayEnvironment env;
    const char* drivers;
    const char* reason; // with SDL's error "x not available"
};

const DisplayCase CASES[] = {
    {"NoDisplayAtAll", {nullptr, nullptr, nullptr}, "",
     "there is no graphical display here: neither DISPLAY nor WAYLAND_DISPLAY is set"},
    {"EmptyVariablesNameNoDisplay", {"", "", ""}, "",
     "there is no graphical display here: neither DISPLAY nor WAYLAND_DISPLAY is set"},
    {"AnXDisplay", {nullptr, ":77", nullptr}, "x11", "the display DISPLAY (:77) cannot be reached: x not available"},
    {"AWaylandDisplay", {nullptr, nullptr, "wayland-1"}, "wayland",
     "the display WAYLAND_DISPLAY (wayland-1) cannot be reached: x not available"},
    {"BothInSdlsOrder", {nullptr, ":0", "wayland-0"}, "x11,wayland",
     "neither the display DISPLAY (:0) nor the display WAYLAND_DISPLAY (wayland-0) can be reached: x not available"},
    {"AnEmptyDriverIsNoChoice", {"", ":0", nullptr}, "x11", "the display DISPLAY (:0) cannot be reached: x not available"},
    {"ThePlayersOwnDriverStands", {"kmsdrm", ":0", nullptr}, "kmsdrm",
     "the video driver SDL_VIDEODRIVER names (kmsdrm) cannot start: x not available"},
};

class DisplayChoice : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayChoice, OnlyDriversOfNamedDisplaysAreTriedAndTheFailureIsSaidInWords) {
    const DisplayCase& c = GetParam();
    EXPECT_EQ(platform::detail::videoDrivers(c.env), c.drivers);
    EXPECT_EQ(platform::detail::noDisplayReason(c.env, "x not available"), c.reason);
}

INSTANTIATE_TEST_SUITE_P(Environments, DisplayChoice, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<DisplayCase>& info) { return std::string(info.param.name); });

TEST(DisplayChoiceReason, WithoutAWordFromSdlTheReasonStandsAlone) {
    EXPECT_EQ(platform::detail::noDisplayReason({nullptr, ":1", nullptr}, ""), "the display DISPLAY (:1) cannot be reached");
}

} // namespace
