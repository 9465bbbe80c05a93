// What a player at a Windows console would see and do, for the console tests: the test program's
// own console read back cell by cell, and input records put into it as the console puts a
// player's mouse and keys there. Kept apart from windows.h, whose names clash with the toolkit's.
#pragma once

#include <string>
#include <vector>

#include "platform/terminal.h"

namespace console_probe {

using platform::terminal::Cell;

// Gives the test program a console of its own, once, as its standard input and output; false when
// the system cannot (Wine's console needs an X display).
bool openConsole();

// ---- the console as shown -------------------------------------------------------------------
std::string text(int row, int col, int count); // UTF-8 of count cells of the shown buffer
int attribute(int row, int col);
std::string title();
Cell bufferSize();
Cell windowSize(); // the shown part of the buffer
Cell cursorCell();
bool cursorVisible();
int cursorSize();
unsigned inputMode();
unsigned outputMode();
int textAttribute(); // what the console writes in next
// Input records waiting that the program has not read.
int unreadRecords();

// ---- the console changed behind the program's back ------------------------------------------
void resize(int rows, int cols);
void blank();
void setTitle(const std::string& utf8);
void setTextAttribute(int attribute);
// Writes at a cell without moving the cursor (what the command prompt showed before).
void write(int row, int col, const std::string& utf8);

// ---- another program in this console ---------------------------------------------------------
// The game (cardbattle.exe of this build), started in this console as from its command prompt, in
// a working folder of the test's choosing.
class Game {
public:
    explicit Game(const std::string& folder);
    ~Game(); // ends it if it is still running
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
    bool started() const;
    // Ctrl-C typed at the console (this test program lets it pass by until the game has ended).
    void typeCtrlC();
    // Asks its game window to close (the window's close button), once the window is open.
    bool closeWindow(int waitMs);
    // Its exit code once it has ended, or -1 if it is still running after waitMs.
    long exitCode(int waitMs);

private:
    void* process = nullptr;
    unsigned long id = 0;
};
// Waits (in real time) until the console's title is `utf8`.
bool waitForTitle(const std::string& utf8, int waitMs);
void sleepReal(int ms);

// ---- input records --------------------------------------------------------------------------
struct Record {
    enum Kind { KEY, MOUSE, RESIZE, FOCUS } kind = KEY;
    // KEY
    bool down = true;
    int vk = 0;
    unsigned character = 0; // UTF-16 unit
    int repeat = 1;
    // MOUSE: the cell from 1, the button bits and event flags as the console gives them
    int row = 0;
    int col = 0;
    unsigned buttons = 0;
    unsigned flags = 0;
    // FOCUS
    bool gained = false;
};
Record keyDown(int vk, unsigned character = 0, int repeat = 1);
Record keyUp(int vk, unsigned character = 0);
Record mouseAt(int row, int col, unsigned buttons = 0, unsigned flags = 0);
Record resized();
Record focus(bool gained);
void send(const std::vector<Record>& records);

// The bits of the console's input mode, as the console API numbers them.
constexpr unsigned PROCESSED_INPUT = 0x0001;
constexpr unsigned LINE_INPUT = 0x0002;
constexpr unsigned ECHO_INPUT = 0x0004;
constexpr unsigned WINDOW_INPUT = 0x0008;
constexpr unsigned MOUSE_INPUT = 0x0010;
constexpr unsigned QUICK_EDIT = 0x0040;
constexpr unsigned EXTENDED_FLAGS = 0x0080;
constexpr unsigned WRAP_AT_END_OF_LINE = 0x0002; // output mode
// Mouse event flags and buttons.
constexpr unsigned LEFT_BUTTON = 0x0001;
constexpr unsigned RIGHT_BUTTON = 0x0002;
constexpr unsigned MOVED = 0x0001;
constexpr unsigned DOUBLE_CLICK = 0x0002;
constexpr unsigned WHEELED = 0x0004;

} // namespace console_probe
