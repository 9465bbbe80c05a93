// The terminal in the browser: the xterm device over the page's terminal emulator (xterm.js), as
// over a tty on Linux. The page keeps what the player types until the program reads it; waiting
// for input yields to the browser, which is what brings it.
#include <emscripten.h>

#include "platform/terminal/pipe.h"
#include "platform/web/page.h"

namespace platform::terminal::detail {
namespace {

// Slices of a wait for input: short, so that a key is taken soon after it comes.
constexpr int WAIT_SLICE_MS = 5;

void write(const char* bytes, size_t n) { web_terminal_write(bytes, (int)n); }
void setRaw(bool) {} // the page's terminal only ever sends its bytes to the program
void discardInput() { web_terminal_discard(); }
bool always() { return true; }

int read(char* buffer, int capacity) { return web_terminal_read(buffer, capacity); }

bool waitInput(int ms) {
    for (int waited = 0; web_terminal_pending() == 0; waited += WAIT_SLICE_MS) {
        if (waited >= ms) return false;
        emscripten_sleep(WAIT_SLICE_MS);
    }
    return true;
}

void size(int& rows, int& cols) { web_terminal_size(&rows, &cols); }

// Not given back on the ways out: the page's terminal goes with the page.
const Pipe PAGE_PIPE = {write, setRaw, discardInput, always, always, always, read, waitInput, size, false};

} // namespace

const Terminal SYSTEM_TERMINAL = {&XTERM_DEVICE, &PAGE_PIPE};

} // namespace platform::terminal::detail
