// Internal to the terminal half of the seam: what the shared screen model and input state ask of
// the system's own terminal (escape sequences to an xterm-compatible terminal on Linux, the console
// API on Windows), and what that system's input reading reports back to them. Each system's file
// defines the device functions; terminal.cpp defines the rest.
#pragma once

#include <cstdint>
#include <string>

#include "platform/terminal.h"

namespace platform::terminal::detail {

// Virtual-key codes of the keys a terminal reports beyond those in platform.h.
enum : int {
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_F1 = 0x70,
};

// ---- the device under the screen model -----------------------------------------------------
// Each one does nothing while the process has no terminal. Output may wait in the device until
// deviceFlush.
bool deviceInteractive();
// The device's screen size in cells, as it is now.
void deviceSize(int& rows, int& cols);
void devicePlace(int row, int col); // the device's cursor, from 1
void deviceAttribute(int attribute); // console bits, background * 16 + foreground
// One character at the device's cursor, which moves past it: a GBK byte below 0x80, or a
// double-byte character as lead * 256 + trail.
void deviceCharacter(uint16_t code);
// Blanks in `attribute` everywhere, the cursor at (1, 1).
void deviceClear(int attribute);
// The whole screen one line up, a blank line at the bottom.
void deviceScrollUp();
// Printable ASCII and whole double-byte characters only.
void deviceTitle(const std::string& gbk);
// Asks for a screen of rows x cols; leaves in rows and cols the size the screen model takes.
void deviceResize(int& rows, int& cols);
void deviceCursorVisible(bool visible);
// Where the device's cursor stands, if the device can say.
bool deviceCursor(Cell& at);
// Sends what waits; whether anything was waiting.
bool deviceFlush();
// Whether the device lost what it showed (the terminal was given back and taken again): the
// screen model then draws everything again, once.
bool deviceLost();
// Blanks the screen for that repaint; false when the screen the model draws on is not shown now.
bool deviceErase();
// Leaves the screen the launcher drew on; false if it was not drawing on one. cursorShown is
// what the program asked for (-1: nothing).
bool deviceEndScreen(int cursorShown);
// The headless backend starts afresh: the device gives back whatever it holds.
void deviceReset();

// Input: the device reports what it reads through the functions further down.
bool deviceBeginInput();
void deviceEndInput();
// Reads what has arrived, without waiting; whether anything had.
bool deviceRead();
// Waits up to ms for input to arrive.
void deviceWaitInput(int ms);

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
