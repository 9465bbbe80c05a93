// Dispatch between the real backend and the headless one, and what both share.
#include "platform/platform.h"

#include <thread> // also brings the clocks: <chrono> itself cannot be compiled for GBK text

#include "platform/backend.h"
#include "platform/letterbox.h"
#include "platform/press_hold.h"

namespace platform {
namespace detail {
namespace {
KeySource terminalKeys;
int pollRun = 0;
constexpr int BUSY_POLLS = 256;
constexpr int IDLE_POLLS = 2048; // a loop that has only polled for a second or more
constexpr int WINDOW_IDLE_WAIT_MS = 8;
constexpr int TERMINAL_IDLE_WAIT_MS = 3;
PressHold nativePresses;
Point nativeFrame; // the size the window was opened at: the frame's, however the window is stretched
} // namespace

void setTerminalKeySource(KeySource source) { terminalKeys = std::move(source); }
bool terminalKeyDown(int vk) { return terminalKeys && terminalKeys(vk); }

void throttlePoll() {
    if (++pollRun < BUSY_POLLS) return;
    // A loop that only polls: give the core back instead of spinning, the more so the longer it
    // waits (a press is held long enough to be seen all the same).
    if (headless::active()) return;
    if (nativeOpenNow()) return nativeSleep(pollRun < IDLE_POLLS ? 1 : WINDOW_IDLE_WAIT_MS);
    // The launcher's loop polls many times a round and the terminal waits for its own input too:
    // longer waits here would let a quick click in a slow console expire before it is read.
    std::this_thread::sleep_for(std::chrono::milliseconds(pollRun < IDLE_POLLS ? 1 : TERMINAL_IDLE_WAIT_MS));
}

void resetPollRun() { pollRun = 0; }

void notePress(int vk) { nativePresses.pressed(vk, nowMs()); }
} // namespace detail

using namespace detail;

void sleepMs(int ms) {
    resetPollRun();
    if (headless::active()) return headlessSleep(ms);
    if (nativeOpenNow()) return nativeSleep(ms);
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

long long nowMs() {
    if (headless::active()) return headless::clock();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool keyDown(int vk) {
    if (headless::active()) {
        headlessPoll(vk);
        return headlessKeyDown(vk) || terminalKeyDown(vk);
    }
    throttlePoll();
    // The backend reads its events first, so that a press it has just been told of is held.
    if (nativeOpenNow() && (nativeKeyDown(vk) || nativePresses.held(vk, nowMs()))) return true;
    return terminalKeyDown(vk);
}

Point windowPointer() {
    if (headless::active()) {
        headlessPoll(-1);
        return headlessPointer();
    }
    throttlePoll();
    if (!nativeOpenNow()) return Point{};
    Point p = nativePointer(); // reads the window's events first, a resize among them
    return windowToFrame(fitFrame(nativeFrame, nativeClientSize()), nativeFrame, p);
}

void openWindow(int w, int h, bool keepTerminal) {
    if (headless::active()) {
        return headlessOpen(w, h, keepTerminal);
    }
    nativeOpen(w, h, keepTerminal);
    nativeFrame = {w, h};
}

bool windowIsOpen() {
    if (headless::active()) return headless::windowRequest().opened;
    return nativeOpenNow();
}

void present(const uint32_t* pixels, int w, int h) {
    resetPollRun();
    if (headless::active()) {
        return headlessPresent(pixels, w, h);
    }
    if (nativeOpenNow()) nativePresent(pixels, w, h);
}

void presentUnchanged() {
    resetPollRun();
    if (headless::active()) return headlessPresentUnchanged();
    nativePump();
}

Point desktopSize() {
    if (headless::active()) return headless::desktopSize();
    return nativeDesktopSize();
}

unsigned matchSeed() {
    if (headless::active()) return headlessSeed();
    using namespace std::chrono;
    return (unsigned)duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

} // namespace platform
