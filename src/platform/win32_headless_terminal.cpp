// The headless backend's terminal on Windows: there is no emulated terminal here (it is built on
// libvterm, on Linux only), so tests see a program without a console, as a player starting it
// from Explorer with no console attached would have it.
#include "platform/terminal_backend.h"

namespace platform::terminal::detail {
namespace {
void writeNothing(const char*, size_t) {}
void noModes(bool) {}
void nothingTyped() {}
bool notOurs() { return false; }
} // namespace

const Pipe TWIN_PIPE = {writeNothing, noModes, nothingTyped, notOurs};

bool twinInteractive() { return false; }
void twinWrite(const std::string&) {}
std::string twinTakeInput() { return {}; }
void twinSetInputActive(bool) {}
void twinReset() {}

} // namespace platform::terminal::detail
