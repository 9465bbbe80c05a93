// The native backend: the rules every system's window shares, over the system's WindowDriver.
// One thread: the window is serviced at every input poll, every sleep and every flush, so that it
// stays responsive through the game's busy-wait loops.
#include <cstdio>
#include <thread> // also brings the clocks: <chrono> itself cannot be compiled for GBK text

#include "platform/backend.h"
#include "platform/letterbox.h"
#include "platform/press_hold.h"
#include "platform/ways_out.h"
#include "platform/window_driver.h"

namespace platform::detail {
namespace {

const WindowDriver* driver = &SYSTEM_WINDOW;
const WindowDriver& system() { return *driver; }

constexpr int BUSY_POLLS = 256;
// A loop that has only polled, with short waits between, for this long is idle: about as long as
// its first 2048 polls take on the desktop. Counted on the clock rather than in polls, because a
// system may wait longer than asked (a browser gives at least 4 ms for 1), and the loop would then
// spend several times as long at its busiest.
constexpr long long IDLE_AFTER_MS = 2000;
constexpr int WINDOW_IDLE_WAIT_MS = 8;
constexpr int TERMINAL_IDLE_WAIT_MS = 3;
// Sleeps are cut into slices this long, the window serviced between them, so that a close or an
// exposure is answered promptly.
constexpr int SLEEP_SLICE_MS = 10;

int pollRun = 0;           // polls since the last frame or sleep, up to BUSY_POLLS
long long waitingSince = 0; // when the polls began to wait
PressHold presses;
Point frameSize; // the size the window was opened at: the frame's, however the window is stretched

long long clockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Closing the window ends the program.
void pump() {
    if (system().isOpen() && !system().pump()) quit(0);
}

void sleepSliced(int ms) {
    long long end = clockMs() + (ms > 0 ? ms : 0);
    pump();
    // A sleep of nothing still gives the system its turn: a browser's page runs only then.
    if (ms <= 0) system().rest(0);
    for (long long left = end - clockMs(); left > 0; left = end - clockMs()) {
        system().rest((int)(left < SLEEP_SLICE_MS ? left : SLEEP_SLICE_MS));
        pump();
    }
}

void sleep(int ms) {
    pollRun = 0;
    if (system().isOpen()) return sleepSliced(ms);
    system().rest(ms > 0 ? ms : 0);
}

// Counts polls and throttles a busy loop: many polls in a row with no frame and no sleep between
// them make each further poll wait a little, the more so the longer the loop has only polled (a
// press is held long enough to be seen all the same).
void beforePoll(int) {
    if (pollRun < BUSY_POLLS) {
        if (++pollRun == BUSY_POLLS) waitingSince = clockMs();
        return pump();
    }
    bool idle = clockMs() - waitingSince >= IDLE_AFTER_MS;
    if (system().isOpen()) return sleepSliced(idle ? WINDOW_IDLE_WAIT_MS : 1);
    // The launcher's loop polls many times a round and the terminal waits for its own input too:
    // longer waits here would let a quick click in a slow console expire before it is read.
    system().rest(idle ? TERMINAL_IDLE_WAIT_MS : 1);
}

bool keyDown(int vk) {
    if (!system().isOpen()) return false;
    // The window's events were read first, so that a press it has just been told of is held.
    return system().keyDown(vk) || presses.held(vk, clockMs());
}

Point pointer() {
    if (!system().isOpen()) return Point{};
    return windowToFrame(fitFrame(frameSize, system().clientSize()), frameSize, system().pointer());
}

void openWindow(int w, int h, bool keepTerminal) {
    std::string error;
    if (!system().open({w, h}, keepTerminal, error)) {
        // The terminal given back first, so that the word stays readable on the player's screen.
        runExitHooks();
        std::fprintf(stderr, "cardbattle: cannot open the game window: %s\n", error.c_str());
        quit(1);
    }
    frameSize = {w, h};
    pump();
}

bool windowIsOpen() { return system().isOpen(); }

void present(const uint32_t* pixels, int w, int h) {
    pollRun = 0;
    if (!system().isOpen() || w != frameSize.x || h != frameSize.y) return;
    system().show(pixels, frameSize);
    pump();
}

void presentUnchanged() {
    pollRun = 0;
    pump();
}

Point desktopSize() { return system().desktopSize(); }

bool touchScreen() { return system().isOpen() && system().touchScreen && system().touchScreen(); }
bool tapped() { return system().isOpen() && system().tapped && system().tapped(); }

unsigned matchSeed() {
    using namespace std::chrono;
    return (unsigned)duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

} // namespace

void notePress(int vk) { presses.pressed(vk, clockMs()); }

void useWindowDriver(const WindowDriver& stand) {
    driver = &stand;
    pollRun = 0;
    presses = PressHold{};
    frameSize = Point{};
}

const Backend NATIVE_BACKEND = {openWindow, windowIsOpen, present,   presentUnchanged, beforePoll, keyDown,
                                pointer,    sleep,        clockMs,   desktopSize,      matchSeed,  touchScreen,
                                tapped};

} // namespace platform::detail
