// The headless backend's terminal on Windows: there is no emulated terminal here (it is built on
// libvterm, on Linux only). By default tests see a program without a console, as a player starting
// it from Explorer with no console attached would have it; a test may say there is one, whose
// screen then shows nothing and whose keys are never pressed.
#include "platform/terminal.h"
#include "platform/terminal_backend.h"

namespace platform::terminal {
namespace {
bool interactiveTwin = false;
} // namespace

namespace detail {

// Nothing to write to, no modes to set, nothing typed, never the foreground.
const Pipe TWIN_PIPE = {[](const char*, size_t) {}, [](bool) {}, [] {}, [] { return false; }};

bool twinInteractive() { return interactiveTwin; }
void twinWrite(const std::string&) {}
std::string twinTakeInput() { return {}; }
void twinSetInputActive(bool) {}
void twinReset() { interactiveTwin = false; }

} // namespace detail

void headless::setInteractive(bool yes) { interactiveTwin = yes; }

} // namespace platform::terminal
