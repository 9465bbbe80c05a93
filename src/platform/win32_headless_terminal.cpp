// The headless backend's terminal on Windows: there is no emulated terminal here (it is built on
// libvterm, on Linux only), so tests see a program without a console, as a player starting it
// from Explorer with no console attached would have it.
#include "platform/terminal_backend.h"

namespace platform::terminal::detail {
// Nothing to write to, no modes to set, nothing typed, never the foreground.
const Pipe TWIN_PIPE = {[](const char*, size_t) {}, [](bool) {}, [] {}, [] { return false; }};

bool twinInteractive() { return false; }
void twinWrite(const std::string&) {}
std::string twinTakeInput() { return {}; }
void twinSetInputActive(bool) {}
void twinReset() {}

} // namespace platform::terminal::detail
