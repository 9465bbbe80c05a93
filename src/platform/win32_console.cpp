// The console on Windows, for now: the launcher does not drive the Windows console yet, so the
// program runs as when it is started without one: the saved settings (or the defaults) are used
// and a line on standard error says so.
#include "platform/terminal_backend.h"

namespace platform::terminal::detail {
// Nothing to write to, no modes to set, nothing typed, never the foreground.
const Pipe TTY_PIPE = {[](const char*, size_t) {}, [](bool) {}, [] {}, [] { return false; }};

bool ttyInteractive() { return false; }
bool ttyBeginInput() { return false; }
void ttyEndInput() {}
void ttyWrite(const std::string&) {}
int ttyRead(char*, int) { return 0; }
bool ttyWaitInput(int) { return false; }
void ttySize(int&, int&) {}

} // namespace platform::terminal::detail
