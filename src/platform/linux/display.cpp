#include "platform/linux/display.h"

#include <cstdlib>
#include <vector>

namespace platform::detail {
namespace {

// The displays a window can open on, in the order SDL itself tries their drivers.
struct Display {
    const char* DisplayEnvironment::*value;
    const char* variable;
    const char* driver;
};
constexpr Display DISPLAYS[] = {
    {&DisplayEnvironment::x11, "DISPLAY", "x11"},
    {&DisplayEnvironment::wayland, "WAYLAND_DISPLAY", "wayland"},
};

bool set(const char* value) { return value && *value; }

std::string withCause(const std::string& reason, const std::string& sdlError) {
    return sdlError.empty() ? reason : reason + ": " + sdlError;
}

} // namespace

DisplayEnvironment displayEnvironment() {
    return {std::getenv("SDL_VIDEODRIVER"), std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY")};
}

std::string videoDrivers(const DisplayEnvironment& env) {
    if (set(env.videoDriver)) return env.videoDriver;
    std::string drivers;
    for (const Display& d : DISPLAYS)
        if (set(env.*d.value)) drivers += (drivers.empty() ? "" : ",") + std::string(d.driver);
    return drivers;
}

std::string noDisplayReason(const DisplayEnvironment& env, const std::string& sdlError) {
    if (set(env.videoDriver))
        return withCause("the video driver SDL_VIDEODRIVER names (" + std::string(env.videoDriver) + ") cannot start",
                         sdlError);
    // Each display named, as a player would look it up: "DISPLAY (:0)".
    std::vector<std::string> named;
    for (const Display& d : DISPLAYS)
        if (set(env.*d.value)) named.push_back(std::string(d.variable) + " (" + (env.*d.value) + ")");
    if (named.empty()) return "there is no graphical display here: neither DISPLAY nor WAYLAND_DISPLAY is set";
    if (named.size() == 1) return withCause("the display " + named[0] + " cannot be reached", sdlError);
    return withCause("neither the display " + named[0] + " nor the display " + named[1] + " can be reached", sdlError);
}

} // namespace platform::detail
