// The headless backend: a virtual clock, scripted input and an off-screen window for tests.
#include "platform/headless/headless.h"

#include <cstring>
#include <map>

#include "platform/backend.h"
#include "platform/headless/test_terminal.h"
#include "platform/terminal/device.h"

namespace platform {
namespace {

struct HeadlessState {
    bool active = false;
    Point pointer;
    std::map<int, bool> keys;
    std::function<void()> callback;
    long long clock = 0;
    int flushes = 0;
    int sleeps = 0;
    int polls = 0;
    headless::WindowRequest window;
    std::vector<uint32_t> frame;
    int frameWidth = 0;
    int frameHeight = 0;
    bool closed = false;
    Point desktop{1920, 1080};
    unsigned seed = 1;
    bool inCallback = false;
    headless::Occasion occasion;
    std::function<void()> flushObserver;
    bool touchScreen = false;
    bool tapped = false;
};

HeadlessState& state() {
    static HeadlessState s;
    return s;
}

void throwIfClosed() {
    if (state().closed) throw WindowClosed{};
}

// The callback may poll too; a poll from inside it does not call it again.
void runCallback(headless::Occasion occasion) {
    HeadlessState& s = state();
    if (!s.callback || s.inCallback) return;
    s.occasion = occasion;
    s.inCallback = true;
    try {
        s.callback();
    } catch (...) {
        s.inCallback = false;
        throw;
    }
    s.inCallback = false;
}

// ---- the backend's table -------------------------------------------------------------------

void beforePoll(int vk) {
    ++state().polls;
    throwIfClosed();
    headless::Occasion o;
    o.kind = vk < 0 ? headless::Occasion::POINTER_POLL : headless::Occasion::KEY_POLL;
    o.vk = vk;
    runCallback(o);
    throwIfClosed();
}

void sleep(int ms) {
    HeadlessState& s = state();
    throwIfClosed();
    ++s.sleeps;
    if (ms > 0) s.clock += ms;
    headless::Occasion o;
    o.ms = ms;
    runCallback(o);
    throwIfClosed();
}

bool keyDown(int vk) {
    auto it = state().keys.find(vk);
    return it != state().keys.end() && it->second;
}

Point pointer() { return state().pointer; }

void openWindow(int w, int h, bool keepTerminal) {
    HeadlessState& s = state();
    throwIfClosed();
    s.window = {true, w, h, keepTerminal};
}

bool windowIsOpen() { return state().window.opened; }

void flushed() {
    HeadlessState& s = state();
    ++s.flushes;
    if (s.flushObserver) s.flushObserver();
}

void present(const uint32_t* pixels, int w, int h) {
    HeadlessState& s = state();
    throwIfClosed();
    s.frame.assign(pixels, pixels + (size_t)w * h);
    s.frameWidth = w;
    s.frameHeight = h;
    flushed();
}

void presentUnchanged() {
    throwIfClosed();
    flushed();
}

long long now() { return state().clock; }
Point desktop() { return state().desktop; }
unsigned seed() { return state().seed; }
bool touchScreen() { return state().touchScreen; }

bool tapped() {
    bool was = state().tapped;
    state().tapped = false;
    return was;
}

const detail::Backend HEADLESS_BACKEND = {openWindow, windowIsOpen, present,     presentUnchanged,
                                          beforePoll, keyDown,      pointer,     sleep,
                                          now,        desktop,      seed,        touchScreen,
                                          tapped};

} // namespace

namespace headless {

void enable() {
    state() = HeadlessState{};
    state().active = true;
    detail::useBackend(HEADLESS_BACKEND);
    terminal::detail::useTestTerminal();
}

void disable() {
    state() = HeadlessState{};
    detail::useBackend(detail::NATIVE_BACKEND);
    terminal::detail::useTerminal(terminal::detail::SYSTEM_TERMINAL);
}

bool active() { return state().active; }
void setPointer(int x, int y) { state().pointer = {x, y}; }
void setKey(int vk, bool down) { state().keys[vk] = down; }
void setCallback(std::function<void()> callback) { state().callback = std::move(callback); }
Occasion occasion() { return state().occasion; }
void setFlushObserver(std::function<void()> observer) { state().flushObserver = std::move(observer); }
long long clock() { return state().clock; }
int flushCount() { return state().flushes; }
int sleepCount() { return state().sleeps; }
int pollCount() { return state().polls; }
WindowRequest windowRequest() { return state().window; }
const std::vector<uint32_t>& lastFrame() { return state().frame; }

Point frameSize() { return {state().frameWidth, state().frameHeight}; }

uint32_t pixel(int x, int y) {
    const HeadlessState& s = state();
    if (x < 0 || y < 0 || x >= s.frameWidth || y >= s.frameHeight) return 0;
    return s.frame[(size_t)y * s.frameWidth + x];
}

void closeWindow() { state().closed = true; }
void setDesktopSize(int w, int h) { state().desktop = {w, h}; }
Point desktopSize() { return state().desktop; }
void setSeed(unsigned seed) { state().seed = seed; }
void setTouchScreen(bool yes) { state().touchScreen = yes; }
void tap() { state().tapped = true; }

} // namespace headless
} // namespace platform
