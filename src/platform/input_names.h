// The names the game's polled input goes by on the system it was written for, shared by the
// graphics surface and the console toolkit so that both headers can be included in one file: the
// pointer position and the key test.
#pragma once

#include "platform/platform.h"

using LONG = long;

struct POINT {
    LONG x = 0;
    LONG y = 0;
};

// Whether the key or mouse button is down now: 1 or 0.
#define press(VK) (platform::keyDown(VK) ? 1 : 0)
