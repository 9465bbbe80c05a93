// Internal to the xterm device (xterm.cpp): the byte pipe under its escape sequences and input
// decoder, as one table of functions. A real terminal on standard input and output (linux/tty.cpp),
// the page's terminal in the browser, and the emulated terminal the tests read back each fill one.
#pragma once

#include <cstddef>

#include "platform/terminal/device.h"

namespace platform::terminal::detail {

struct Pipe {
    // The functions the give-back and the take-back use: each safe to call from a signal handler on
    // the real terminal.
    void (*write)(const char* bytes, size_t n);
    void (*setRaw)(bool raw); // raw mode, or the modes found at the start
    void (*discardInput)();   // what was typed and never read
    // Whether the terminal is this process's to change: its process group is the foreground one.
    bool (*foreground)();

    // Standard input and output are a terminal.
    bool (*interactive)();
    // Raw mode (no echo, no line editing, Enter as '\r', Ctrl-C and Ctrl-Z still signals); whether
    // the terminal took it.
    bool (*beginInput)();
    // Reads what has arrived without waiting; the number of bytes (0: nothing, or not in raw mode,
    // where a read would wait for a whole line).
    int (*read)(char* buffer, int capacity);
    // Waits up to ms for input to arrive; whether some did.
    bool (*waitInput)(int ms);
    // The terminal's size in cells, if it says (rows and cols are left as they are otherwise).
    void (*size)(int& rows, int& cols);
    // Whether the process's ways out give this terminal back: the player's terminal, not one that
    // ends with the process anyway.
    bool givenBackOnExit;
    // Cooked mode without echo, for the game window's time: keys typed into the terminal then show
    // nowhere (setRaw(false) gives the modes found back). The give-back and the take-back use it
    // too. Null where the terminal shows nothing typed by itself.
    void (*setQuiet)() = nullptr;
};

// The xterm device, over the pipe of the terminal in force.
extern const Device XTERM_DEVICE;

// Gives the terminal back as it was found, before the process ends or stops, and discards what was
// typed for the program; does nothing while the terminal belongs to another job.
void giveBack(const Pipe& pipe, bool ending);
// After a stop, in the foreground only: raw mode, mouse reporting and the alternate screen again,
// and the whole screen drawn afresh at the next poll.
void takeBack(const Pipe& pipe);

} // namespace platform::terminal::detail
