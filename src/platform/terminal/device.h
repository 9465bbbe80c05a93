// Internal to the terminal half of the seam: what the shared screen model and input state
// (screen.cpp) ask of a terminal device, as one table of functions, and what the device's input
// reading reports back to them. The devices: an xterm-compatible terminal spoken to in escape
// sequences over a byte pipe (xterm.cpp, on Linux and in the browser), and the Windows console
// (windows/console.cpp).
#pragma once

#include <cstdint>
#include <string>

#include "platform/terminal.h"

namespace platform::terminal::detail {

struct Pipe;

// ---- the device under the screen model -----------------------------------------------------
// Each entry does nothing while the process has no terminal. Output may wait in the device until
// flush.
struct Device {
    bool (*interactive)();
    // The device's screen size in cells, as it is now (left as it is when the device cannot say).
    void (*size)(int& rows, int& cols);
    void (*place)(int row, int col); // the device's cursor, from 1
    void (*attribute)(int attribute); // console bits, background * 16 + foreground
    // One character at the device's cursor, which moves past it: a GBK byte below 0x80, or a
    // double-byte character as lead * 256 + trail.
    void (*character)(uint16_t code);
    // Blanks in `attribute` everywhere, the cursor at (1, 1).
    void (*clear)(int attribute);
    // The whole screen one line up, a blank line at the bottom.
    void (*scrollUp)();
    // Printable ASCII and whole double-byte characters only.
    void (*title)(const std::string& gbk);
    // Asks for a screen of rows x cols; leaves in rows and cols the size the screen model takes.
    void (*resize)(int& rows, int& cols);
    void (*cursorVisible)(bool visible);
    // Where the device's cursor stands, if the device can say.
    bool (*cursor)(Cell& at);
    // Sends what waits; whether anything was waiting.
    bool (*flush)();
    // Whether the device lost what it showed (the terminal was given back and taken again): the
    // screen model then draws everything again, once.
    bool (*lost)();
    // Blanks the screen for that repaint; false when the screen the model draws on is not shown now.
    bool (*erase)();
    // Leaves the screen the launcher drew on; false if it was not drawing on one. cursorShown is
    // what the program asked for (-1: nothing).
    bool (*endScreen)(int cursorShown);
    // The device starts afresh (another terminal was installed): it gives back whatever it holds.
    void (*reset)();
    // Input: the device reports what it reads through the functions further down.
    bool (*beginInput)();
    void (*endInput)();
    // Reads what has arrived, without waiting; whether anything had.
    bool (*read)();
    // Waits up to ms for input to arrive.
    void (*waitInput)(int ms);
};

// A terminal as a system has it: a device, and under the xterm device the pipe its bytes go
// through (null for a device of its own).
struct Terminal {
    const Device* device;
    const Pipe* pipe;
};

// The system's terminal, defined in its own folder.
extern const Terminal SYSTEM_TERMINAL;
// The terminal in force (the system's until another is installed), and installing one: the
// screen model and input state start afresh.
const Terminal& terminal();
void useTerminal(const Terminal& terminal);

// ---- the input state the devices report to -------------------------------------------------
// The pointer is over (row, col), from 1.
void pointerAt(int row, int col);
// A key or button went down: it reads down until it goes up, and a press that ends before the
// next read of it still reads down once (the left button: unless the pointer moves to another
// cell first; any: unless CLICK_KEEP_MS pass after the release).
void notePressed(int vk);
void noteReleased(int vk);
// The state as reported without a press or a release (a mouse motion report).
void noteHeld(int vk, bool down);
// The state as reported with every event: a change is a press or a release.
void noteState(int vk, bool down);
// A key whose releases are never reported: it reads down for KEY_HOLD_MS.
void noteTapped(int vk);
// Typed characters, as readKey delivers them.
void typeByte(unsigned char b);
// The two codes of an arrow, editing or function key; false for any other key.
bool typeSpecial(int vk);
// The device's screen may have changed its size: if it did, the model takes the new size, keeps
// what still fits and draws it again.
void screenResized();
// Flushes, reads what the device has, and keeps a loop that only polls from spinning.
void pumpInput();

} // namespace platform::terminal::detail
