// Which display the game window may open on, from the environment. Left to itself SDL falls through
// to drivers that show nothing (its off-screen one), and the game would run on with no window for
// the player to see. Internal to the Linux window.
#pragma once

#include <string>

namespace platform::detail {

// The variables that name a display, or the player's own choice of SDL's video driver; null or
// empty when not set.
struct DisplayEnvironment {
    const char* videoDriver; // SDL_VIDEODRIVER
    const char* x11;         // DISPLAY
    const char* wayland;     // WAYLAND_DISPLAY
};

DisplayEnvironment displayEnvironment();

// SDL's video drivers to try, in SDL's own order: the player's choice as it stands, otherwise
// those whose display the environment names; "" when it names none.
std::string videoDrivers(const DisplayEnvironment& env);

// Why no window could be had, in words, when SDL's video could not start (sdlError: what SDL said).
std::string noDisplayReason(const DisplayEnvironment& env, const std::string& sdlError);

} // namespace platform::detail
