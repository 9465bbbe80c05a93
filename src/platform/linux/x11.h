// What only the X11 display server can tell about the game window, where SDL drives it through
// X11: SDL's own answers can disagree with the screen there. Internal to the Linux window.
#pragma once

#include <SDL.h>

#include "platform/platform.h"

namespace platform::detail {

// Whether a window manager runs, where the window is an X11 window (elsewhere: true). Without one
// nothing can grant full screen: SDL would take the screen's size for a window that keeps its own.
bool windowManagerRuns(SDL_Window* window);

// The window's size as the display server has it, if the window is an X11 window.
bool sizeOnScreen(SDL_Window* window, Point& size);

} // namespace platform::detail
