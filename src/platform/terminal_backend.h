// Internal to the terminal half of the seam: the byte pipes under the screen model and the input
// decoder, one pair for a real terminal and one for the emulated terminal the tests read back.
#pragma once

#include <string>

namespace platform::terminal::detail {

// ---- a real terminal on standard input and output ----
bool ttyInteractive();
// Raw mode (no echo, no line editing, Enter as '\r', Ctrl-C still a signal), mouse reporting on.
bool ttyBeginInput();
void ttyEndInput();
// The program has written to the terminal: make sure it is given back on every way out.
void ttyTouched(int screenRows, bool titlePushed);
void ttyWrite(const std::string& bytes);
// Reads what has arrived without waiting; returns the number of bytes (0: nothing).
int ttyRead(char* buffer, int capacity);
// Waits up to ms for input to arrive.
bool ttyWaitInput(int ms);
// The terminal's size in cells, if it says.
void ttySize(int& rows, int& cols);

// ---- the emulated terminal (headless backend) ----
bool twinInteractive();
void twinWrite(const std::string& bytes);
// What the emulated terminal has sent to the program since the last call.
std::string twinTakeInput();
void twinSetInputActive(bool active);
void twinReset();

} // namespace platform::terminal::detail
