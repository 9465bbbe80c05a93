// The tests' terminal where there is no emulated one (Windows, the browser): the system's own
// terminal, except that a test may say whether there is one, and that nothing waits for its input
// in real time (the tests run on the virtual clock).
#include "platform/headless/headless.h"
#include "platform/headless/test_terminal.h"
#include "platform/terminal/device.h"

namespace platform::terminal {
namespace {

int said = -1; // -1: as the system's terminal says

bool saidInteractive() { return said < 0 ? detail::SYSTEM_TERMINAL.device->interactive() : said == 1; }
void noWait(int) {}

detail::Device scripted;
detail::Terminal scriptedTerminal;

} // namespace

namespace detail {

void useTestTerminal() {
    said = -1;
    scripted = *SYSTEM_TERMINAL.device;
    scripted.interactive = saidInteractive;
    scripted.waitInput = noWait;
    scriptedTerminal = {&scripted, SYSTEM_TERMINAL.pipe};
    useTerminal(scriptedTerminal);
}

} // namespace detail

void headless::setInteractive(bool yes) { said = yes ? 1 : 0; }

} // namespace platform::terminal
