// Shared between the platform's own files: which backend is live, and the hooks by which the
// terminal half of the seam adds its input to the process's key and button state.
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

// Real backend (SDL), only once the window is open.
void sdlOpen(int w, int h);
bool sdlOpenNow();
void sdlPump();
bool sdlKeyDown(int vk);
Point sdlPointer();
void sdlPresent(const uint32_t* pixels, int w, int h);
void sdlSleep(int ms);
Point sdlDesktopSize();

} // namespace platform::detail
