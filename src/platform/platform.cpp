// The dispatch: every window-side call goes through the backend in force, and the terminal's keys
// join the window's.
#include "platform/platform.h"

#include "platform/backend.h"

namespace platform {
namespace detail {
namespace {
const Backend* current = &NATIVE_BACKEND;
bool (*terminalKeys)(int vk) = nullptr;
} // namespace

const Backend& backend() { return *current; }
void useBackend(const Backend& backend) { current = &backend; }
void setTerminalKeys(bool (*keyDown)(int vk)) { terminalKeys = keyDown; }

} // namespace detail

using detail::backend;

void sleepMs(int ms) { backend().sleep(ms); }
long long nowMs() { return backend().now(); }

bool keyDown(int vk) {
    backend().beforePoll(vk);
    return backend().keyDown(vk) || (detail::terminalKeys && detail::terminalKeys(vk));
}

Point windowPointer() {
    backend().beforePoll(-1);
    return backend().pointer();
}

bool touchScreen() { return backend().touchScreen(); }
bool tapped() { return backend().tapped(); }

void openWindow(int w, int h, bool keepTerminal) { backend().openWindow(w, h, keepTerminal); }
bool windowIsOpen() { return backend().windowIsOpen(); }
void present(const uint32_t* pixels, int w, int h) { backend().present(pixels, w, h); }
void presentUnchanged() { backend().presentUnchanged(); }
Point desktopSize() { return backend().desktopSize(); }
unsigned matchSeed() { return backend().matchSeed(); }

} // namespace platform
