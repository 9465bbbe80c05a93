// Shared between the platform's own files: which backend is live, the hooks by which the
// terminal half of the seam adds its input to the process's key and button state, and what each
// system's window file provides.
#pragma once

#include <functional>

#include "platform/platform.h"

namespace platform::detail {

// A source of key and button state besides the game window (the terminal, once in use).
using KeySource = std::function<bool(int vk)>;
void setTerminalKeySource(KeySource source);
bool terminalKeyDown(int vk);

// Functions run by headless::enable() so that every part of the seam starts each test clean.
void addHeadlessReset(std::function<void()> reset);
void runHeadlessResets();

// The headless backend's per-poll and per-sleep bookkeeping (callback, scripted close).
void headlessPoll(int vk = -1); // vk < 0: a pointer poll
void headlessSleep(int ms);
bool headlessKeyDown(int vk);
Point headlessPointer();
void headlessOpen(int w, int h, bool keepTerminal);
void headlessPresent(const uint32_t* pixels, int w, int h);
void headlessPresentUnchanged();
unsigned headlessSeed();

// Counts polls and throttles a busy loop: many polls in a row with no frame and no sleep
// between them make each further poll wait about a millisecond.
void throttlePoll();
void resetPollRun();

// The native window backend (SDL on Linux): each system's window file defines these. Apart from
// nativeOpen, nativeOpenNow and nativeDesktopSize they are called only once the window is open.
// Opens the window black; opening it again keeps the window and takes the new frame size.
void nativeOpen(int w, int h);
bool nativeOpenNow();
void nativePump();
// Whether the key or button is down at this moment (quick presses are held by the shared code).
bool nativeKeyDown(int vk);
// The pointer in pixels of the window's client area as it is now (it may be stretched), and that
// area's size. The shared code maps the pointer back into frame pixels.
Point nativePointer();
Point nativeClientSize();
// Shows the frame scaled to fit the client area with its aspect kept (fitFrame of letterbox.h), and
// shows it again on exposure and resize. F11 toggles fullscreen.
void nativePresent(const uint32_t* pixels, int w, int h);
void nativeSleep(int ms);
Point nativeDesktopSize();

// The native backend reports every press of a key or mouse button it is told of, so that one
// that ends before the next poll still counts as held for a moment.
void notePress(int vk);

} // namespace platform::detail
