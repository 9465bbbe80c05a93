// The terminal half of the platform seam: the text console the launcher draws in. On Linux that is
// any xterm-compatible terminal (terminal/xterm.cpp); on Windows it is the console (windows/console.cpp).
//
// Output goes through a model of the screen: every cell remembers what was last sent to it, and
// only cells that change are written, so a screen that is redrawn in a busy loop costs nothing
// once it stands still. Text is GBK (a double-byte character takes two columns); a terminal
// receives UTF-8 and ANSI colours, the console UTF-16 and its own attributes.
//
// Input: the pointer cell and the left button come from the terminal's mouse reports (xterm: any
// motion, SGR encoding; the console: its mouse records); keys come from non-blocking reads. A
// terminal reports key presses but never releases, so a key counts as down for KEY_HOLD_MS after
// each byte it sends; auto-repeat renews it, so a held key reads down continuously once repeating
// starts. The console reports releases, so there a key reads down until it is released. A press
// (the left button, or a key on the console) that begins and ends between two reads still reads
// down once, unless the pointer moves to another cell first (the button) or CLICK_KEEP_MS pass.
//
// On Linux the program draws on the terminal's alternate screen, so that the shell's screen comes
// back as it was. Everything is given back (the main screen, cooked mode, no mouse reporting,
// default colours, cursor shown, the player's title; on Windows the console's modes, size,
// colours, cursor and title) on every way out and, on Linux, before a stop (Ctrl-Z), and keys
// typed for the program and never read are discarded. After a stop the terminal is taken again
// when the program goes on in the foreground, and the next poll draws the whole screen afresh.
#pragma once

#include <string>

namespace platform::terminal {

constexpr int KEY_HOLD_MS = 150;
constexpr int CLICK_KEEP_MS = 250;
// How long a cursor query waits for a terminal that does not answer.
constexpr int QUERY_TIMEOUT_MS = 200;

struct Cell {
    int row = 0; // from 1
    int col = 0; // from 1
};

// Standard input and output are both a terminal (on the headless backend: unless a test said
// otherwise).
bool interactive();

// ---- output ------------------------------------------------------------------------------
// Colour attribute for what is written next: background * 16 + foreground, console bits
// (1 blue, 2 green, 4 red, 8 intensity); only the low 8 bits count.
void setAttribute(int attribute);
int attribute();
// Cursor to (row, col), both from 1, kept inside the screen; a shown cursor goes there on the
// terminal too at the next flush, even when nothing is written there.
void moveTo(int row, int col);
// The cursor cell; asks the terminal (with a timeout) only while the program has not placed it.
Cell cursor();
// Writes GBK bytes at the cursor: '\n' goes to the start of the next line, '\r' to the start
// of this one, '\b' one column back, '\t' to the next tab stop; other control bytes are dropped
// so that text can never smuggle escape sequences to the terminal.
void write(const std::string& gbk);
void writeByte(char byte);
// Fills the screen with blanks in the current colour and puts the cursor at (1, 1).
void clear();
void setTitle(const std::string& gbk);
// Asks the terminal for cols x rows; the screen model takes that size at once (on Windows the
// size the console took).
void setSize(int cols, int rows);
Cell size();
void setCursorVisible(bool visible);
// Sends what is waiting. Every input poll does this first.
void flush();
// Leaves the launcher's screen: on Linux the alternate screen, so that the shell's screen comes
// back in its own colours; on Windows the console's own output mode (wrapping at the end of a
// line). What is written later (diagnostics) stays readable after the program ends. Drawing
// again takes the launcher's screen again.
void endScreen();

// ---- input -------------------------------------------------------------------------------
// Raw mode and mouse reporting (on Windows: mouse and window input, quick-edit off), and the
// terminal's keys and left button added to platform::keyDown. Any input function below begins it when needed. Does nothing when not
// interactive.
void beginInput();
// Hands the terminal's input back (cooked mode, no mouse reporting; the console's input mode)
// before the game window takes over; cursor visibility stays until the program ends.
void endInput();
bool inputActive();
// The pointer cell from the last mouse report; (0, 0) before any report.
Cell pointer();
// Typed characters, as a console delivers them: GBK bytes one at a time, Enter as 13, Backspace
// as 8; arrow and editing keys as two codes (0xE0 then a letter), F1 to F10 as 0 then a code.
bool keyWaiting();
int readKey(); // waits for a key

} // namespace platform::terminal
