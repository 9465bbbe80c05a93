// The headless backend's test-facing side: a virtual clock, scripted input, the recorded frame and
// whether a terminal is there (the emulated terminal itself: terminal_twin.h). Tests, fuzz targets, benchmarks and tools link it (the library
// cardbattle_headless); the game never does.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/terminal.h"

namespace platform {

namespace headless {

// Switches the headless backend on, or resets it: pointer, keys, clock, callback, terminal,
// window record, counters, desktop size and seed all start clean.
void enable();
// Gives the program back to the system's own window and terminal.
void disable();
bool active();

void setPointer(int x, int y);  // window pixels
void setKey(int vk, bool down); // keys and mouse buttons
// Runs at every input poll (before the poll reads) and at every sleep; may throw to end a test.
void setCallback(std::function<void()> callback);

// What the callback is being run for: a key poll (which key), a pointer poll or a sleep.
struct Occasion {
    enum Kind { KEY_POLL, POINTER_POLL, SLEEP } kind = SLEEP;
    int vk = 0; // the key polled
    int ms = 0; // the sleep's length
};
Occasion occasion();
// Runs after every frame presented (flushed), for checks of the game's state frame by frame.
void setFlushObserver(std::function<void()> observer);

long long clock();        // virtual milliseconds since enable()
int flushCount();         // frames presented since enable()
int sleepCount();         // sleeps since enable()
int pollCount();          // key and pointer polls since enable()

// What the game asked initgraph for.
struct WindowRequest {
    bool opened = false;
    int width = 0;
    int height = 0;
    bool keepTerminal = false;
};
WindowRequest windowRequest();

// The last presented frame, 0x00RRGGBB; pixel() is 0 outside it or before any flush.
const std::vector<uint32_t>& lastFrame();
Point frameSize();
uint32_t pixel(int x, int y);

// Every later poll, sleep or flush throws WindowClosed.
void closeWindow();

void setDesktopSize(int w, int h);
Point desktopSize();

// Fixes the seed that matchSeed() returns from now on.
void setSeed(unsigned seed);

// Touch, which only the browser has: the window on a touch screen, and a tap that tapped() answers
// once (a tap's click, where it has one, is scripted with setPointer and setKey as any click).
void setTouchScreen(bool yes);
void tap();

} // namespace headless

namespace terminal {

// The tests' terminal (the emulated one of terminal_twin.h on Linux, the system's own elsewhere).
namespace headless {

// What the program sees: whether it runs in a terminal at all (on Windows too, where the tests'
// terminal is the console they run in, if any).
void setInteractive(bool yes);

} // namespace headless

} // namespace terminal
} // namespace platform
