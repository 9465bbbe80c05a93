// The console on Windows, for now: the launcher does not drive the Windows console yet, so the
// program runs as when it is started without one: the saved settings (or the defaults) are used
// and a line on standard error says so.
#include "platform/terminal_backend.h"

namespace platform::terminal::detail {
namespace {
void writeNothing(const char*, size_t) {}
void noModes(bool) {}
void nothingTyped() {}
bool notOurs() { return false; }
} // namespace

const Pipe TTY_PIPE = {writeNothing, noModes, nothingTyped, notOurs};

bool ttyInteractive() { return false; }
bool ttyBeginInput() { return false; }
void ttyEndInput() {}
void ttyWrite(const std::string&) {}
int ttyRead(char*, int) { return 0; }
bool ttyWaitInput(int) { return false; }
void ttySize(int&, int&) {}

} // namespace platform::terminal::detail
