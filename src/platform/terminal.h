// The terminal half of the platform seam: the text console the launcher draws in.
//
// Output goes through a model of the screen: every cell remembers what was last sent to it, and
// only cells that change are written, so a screen that is redrawn in a busy loop costs nothing
// once it stands still. Text is GBK (a double-byte character takes two columns); the terminal
// receives UTF-8 and ANSI colours.
//
// Input: the pointer cell and the left button come from xterm mouse reporting (any motion,
// SGR encoding); keys come from raw, non-blocking reads. A terminal reports key presses but never
// releases, so a key counts as down for KEY_HOLD_MS after each byte it sends; auto-repeat renews
// it, so a held key reads down continuously once repeating starts. A click that is pressed and
// released between two reads still reads down once, unless the pointer moves to another cell
// first or CLICK_KEEP_MS pass.
//
// The program draws on the terminal's alternate screen, so that the shell's screen comes back as it
// was. Everything is given back (the main screen, cooked mode, no mouse reporting, default colours,
// cursor shown, the player's title) on every way out and before a stop (Ctrl-Z), and keys typed
// for the program and never read are discarded. After a stop the terminal is taken again when the
// program goes on in the foreground, and the next poll draws the whole screen afresh.
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
// Asks the terminal for cols x rows; the screen model takes that size at once.
void setSize(int cols, int rows);
Cell size();
void setCursorVisible(bool visible);
// Sends what is waiting. Every input poll does this first.
void flush();
// Leaves the alternate screen: the shell's screen comes back in its own colours, and what is
// written later (diagnostics) stays readable there after the program ends. Drawing again takes
// the alternate screen again.
void endScreen();

// ---- input -------------------------------------------------------------------------------
// Raw mode and mouse reporting, and the terminal's keys and left button added to
// platform::keyDown. Any input function below begins it when needed. Does nothing when not
// interactive.
void beginInput();
// Hands the terminal's input back (cooked mode, no mouse reporting) before the game window takes
// over; cursor visibility stays until the program ends.
void endInput();
bool inputActive();
// The pointer cell from the last mouse report; (0, 0) before any report.
Cell pointer();
// Typed characters, as a console delivers them: GBK bytes one at a time, Enter as 13, Backspace
// as 8; arrow and editing keys as two codes (0xE0 then a letter), F1 to F10 as 0 then a code.
bool keyWaiting();
int readKey(); // waits for a key

namespace headless {

// What the program sees: whether it runs in a terminal at all.
void setInteractive(bool yes);

// ---- the player's hands, through the emulated terminal (reports only what the program asked
// the terminal for, as a real one would) ----
void movePointer(int row, int col);
// The pointer at a pixel of the console's client area, on a terminal whose cells are 8 x 16.
void movePointerPixel(int x, int y);
void setLeftButton(bool down);
void type(const std::string& utf8);
enum class Key { Enter, Tab, Backspace, Escape, Up, Down, Left, Right, Home, End, Delete, F1, F5 };
void pressKey(Key key);
// Bytes exactly as a terminal would send them.
void sendBytes(const std::string& bytes);
// The terminal stops answering cursor queries.
void silenceQueries(bool silent);
// Output of another program before this one (a shell prompt, say): it moves the cursor.
void otherOutput(const std::string& bytes);

// ---- the ways out and back, through the same functions the signal handlers use ----
// Both give the terminal back and discard the keys typed for the program.
void stopProgram(); // Ctrl-Z
// SIGCONT: in the foreground the terminal is taken again; in the background it is another job's.
void continueProgram(bool foreground);
void endProgram(); // a signal that ends the program

// ---- what a player would see ----
std::string text(int row, int col, int count); // UTF-8 of count cells (wide characters once)
std::string rowText(int row);                  // the whole row, trailing blanks removed
int foreground(int row, int col);              // console colour 0..15, -1 if never set
int background(int row, int col);
std::string title();
Cell screenSize();
Cell cursorCell();
bool cursorVisible();
bool mouseReporting(); // reporting of every motion is on
bool rawMode();        // the program holds the terminal's input
bool alternateScreen();
std::string unreadInput(); // what the terminal has sent that the program has not read
long long bytesWritten();
int queriesAnswered();

} // namespace headless
} // namespace platform::terminal
