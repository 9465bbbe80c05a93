// Dispatch between the real backend and the headless one, and what both share.
#include "platform/platform.h"

#include <thread> // also brings the clocks: <chrono> itself cannot be compiled for GBK text

#include "platform/backend.h"

namespace platform {
namespace detail {
namespace {
KeySource terminalKeys;
int pollRun = 0;
constexpr int BUSY_POLLS = 256;
constexpr int IDLE_POLLS = 2048; // a loop that has only polled for a second or more
} // namespace

void setTerminalKeySource(KeySource source) { terminalKeys = std::move(source); }
bool terminalKeyDown(int vk) { return terminalKeys && terminalKeys(vk); }

void throttlePoll() {
    if (++pollRun < BUSY_POLLS) return;
    // A loop that only polls: give the core back instead of spinning, the more so the longer it
    // waits (a press is held long enough to be seen all the same).
    if (headless::active()) return;
    int ms = pollRun < IDLE_POLLS ? 1 : 3;
    if (sdlOpenNow()) sdlSleep(ms);
    else std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void resetPollRun() { pollRun = 0; }
} // namespace detail

using namespace detail;

void sleepMs(int ms) {
    resetPollRun();
    if (headless::active()) return headlessSleep(ms);
    if (sdlOpenNow()) return sdlSleep(ms);
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
    if (sdlOpenNow() && sdlKeyDown(vk)) return true;
    return terminalKeyDown(vk);
}

Point windowPointer() {
    if (headless::active()) {
        headlessPoll(-1);
        return headlessPointer();
    }
    throttlePoll();
    return sdlOpenNow() ? sdlPointer() : Point{};
}

void openWindow(int w, int h, bool keepTerminal) {
    if (headless::active()) {
        return headlessOpen(w, h, keepTerminal);
    }
    sdlOpen(w, h);
}

bool windowIsOpen() {
    if (headless::active()) return headless::windowRequest().opened;
    return sdlOpenNow();
}

void present(const uint32_t* pixels, int w, int h) {
    resetPollRun();
    if (headless::active()) {
        return headlessPresent(pixels, w, h);
    }
    if (sdlOpenNow()) sdlPresent(pixels, w, h);
}

void presentUnchanged() {
    resetPollRun();
    if (headless::active()) return headlessPresentUnchanged();
    sdlPump();
}

Point desktopSize() {
    if (headless::active()) return headless::desktopSize();
    return sdlDesktopSize();
}

unsigned matchSeed() {
    if (headless::active()) return headlessSeed();
    using namespace std::chrono;
    return (unsigned)duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

} // namespace platform
