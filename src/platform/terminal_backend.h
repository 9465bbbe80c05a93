// Internal to the terminal half of the seam: the byte pipes under the screen model and the input
// decoder, one pair for a real terminal and one for the emulated terminal the tests read back.
#pragma once

#include <cstddef>
#include <string>

namespace platform::terminal::detail {

// A terminal as the give-back and the take-back see it: plain functions, each safe to call from a
// signal handler on the real terminal.
struct Pipe {
    void (*write)(const char* bytes, size_t n);
    void (*setRaw)(bool raw); // raw mode, or the modes found at the start
    void (*discardInput)();   // what was typed and never read
    // Whether the terminal is this process's to change: its process group is the foreground one.
    bool (*foreground)();
};

// Gives the terminal back as it was found, before the process ends or stops, and discards what was
// typed for the program; does nothing while the terminal belongs to another job.
void giveBack(const Pipe& pipe, bool ending);
// After a stop, in the foreground only: raw mode, mouse reporting and the alternate screen again,
// and the whole screen drawn afresh at the next poll.
void takeBack(const Pipe& pipe);

// ---- a real terminal on standard input and output ----
extern const Pipe TTY_PIPE;
bool ttyInteractive();
// Raw mode (no echo, no line editing, Enter as '\r', Ctrl-C and Ctrl-Z still signals).
bool ttyBeginInput();
void ttyEndInput();
void ttyWrite(const std::string& bytes);
// Reads what has arrived without waiting; returns the number of bytes (0: nothing, or not in raw
// mode, where a read would wait for a whole line).
int ttyRead(char* buffer, int capacity);
// Waits up to ms for input to arrive.
bool ttyWaitInput(int ms);
// The terminal's size in cells, if it says.
void ttySize(int& rows, int& cols);

// ---- the emulated terminal (headless backend) ----
extern const Pipe TWIN_PIPE;
bool twinInteractive();
void twinWrite(const std::string& bytes);
// What the emulated terminal has sent to the program since the last call (nothing while the
// program does not hold its input, as with a real one).
std::string twinTakeInput();
void twinSetInputActive(bool active);
void twinReset();

} // namespace platform::terminal::detail
