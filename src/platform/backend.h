// What the dispatch (platform.cpp) calls through: one table of the window side's functions. Two
// backends fill it: the native one (native_window.cpp, the same on every system, over the system's
// WindowDriver) and the headless one the tests install (headless/). Internal to the platform.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace platform::detail {

struct Backend {
    // The window (see platform.h): opening it, whether it is open, a frame shown, a frame that is
    // the same as the one shown.
    void (*openWindow)(int w, int h, bool keepTerminal);
    bool (*windowIsOpen)();
    void (*present)(const uint32_t* pixels, int w, int h);
    void (*presentUnchanged)();
    // Runs at every input poll, before anything is read: the native backend keeps a loop that only
    // polls from spinning, the headless one runs the test's script. vk < 0: a pointer poll.
    void (*beforePoll)(int vk);
    // Whether the window's key or button is down (the terminal's are added by the dispatch).
    bool (*keyDown)(int vk);
    // The pointer in frame pixels.
    Point (*pointer)();
    void (*sleep)(int ms);
    long long (*now)();
    Point (*desktopSize)();
    unsigned (*matchSeed)();
    // Touch (see platform.h): whether the window is on a touch screen, and whether it was tapped
    // since the last time this was asked (the answer clears it).
    bool (*touchScreen)();
    bool (*tapped)();
};

extern const Backend NATIVE_BACKEND;
// The backend in force: the native one until another is installed.
const Backend& backend();
void useBackend(const Backend& backend);

// The terminal's keys and left button, added to the window's while the terminal's input is in use.
void setTerminalKeys(bool (*keyDown)(int vk));

} // namespace platform::detail
