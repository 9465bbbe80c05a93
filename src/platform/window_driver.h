// What each system's window file provides (linux/, windows/, web/): one table of functions over
// the system's own window. The rules every system shares (sleeping in slices while the window is
// serviced, quick presses held, the frame letterboxed and the pointer mapped back, busy loops
// slowed down) sit above it, in native_window.cpp. Internal to the platform.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace platform::detail {

struct WindowDriver {
    // Opens the window black with a client area of frame's size, or gives the open window that
    // frame size. Unless keepTerminal, a console window of the program's own is hidden where the
    // system has one. False, with the system's reason in `error`, when no window can be had.
    bool (*open)(Point frame, bool keepTerminal, std::string& error);
    bool (*isOpen)();
    // Services the window: reads its events (noting presses with notePress), draws the last frame
    // again where it was exposed or resized, F11 toggles full screen. A system may skip a call that
    // comes right after the last one. False once the player has closed the window.
    bool (*pump)();
    // Whether the key or button is down at this moment (quick presses are held by the shared code).
    bool (*keyDown)(int vk);
    // The pointer in pixels of the client area as it is now (it may be stretched), and its size.
    Point (*pointer)();
    Point (*clientSize)();
    // Shows the frame (frameSize, 0x00RRGGBB) scaled into the client area with its aspect kept
    // (letterbox.h), and again whenever the window needs it, until the next frame is shown.
    void (*show)(const uint32_t* frame, Point frameSize);
    // The system's own wait, the window not serviced meanwhile (where the system runs the page's
    // events on the same thread, it yields to them).
    void (*rest)(int ms);
    // The largest client area the launcher may choose.
    Point (*desktopSize)();
    // Touch, where the system's window takes it (only the browser's does; left out elsewhere):
    // whether the window is on a touch screen, and whether a touch (not a click) ended on it since
    // the last time this was asked, the answer clearing it.
    bool (*touchScreen)() = nullptr;
    bool (*tapped)() = nullptr;
};

// The system's window, defined in its own folder.
extern const WindowDriver SYSTEM_WINDOW;
// The window the native backend drives: the system's, unless a test puts a stand-in under it.
void useWindowDriver(const WindowDriver& driver);

// A key or mouse button went down in the window: it reads down for a moment even when it is up
// again before the next poll.
void notePress(int vk);

} // namespace platform::detail
