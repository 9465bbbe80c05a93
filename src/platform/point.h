// The window-library-style pointer position, shared by the graphics surface and the console
// toolkit so that both headers can be included in one file.
#pragma once

using LONG = long;

struct POINT {
    LONG x = 0;
    LONG y = 0;
};
