// What a player at a Windows console would see and do, for the console tests: the test program's
// own console read back cell by cell, and input records put into it as the console puts a
// player's mouse and keys there. Kept apart from windows.h, whose names clash with the toolkit's.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/terminal.h"

namespace console_probe {

using platform::terminal::Cell;

// Gives the test program a console of its own, once, as its standard input and output; false when
// the system cannot (Wine's console needs an X display).
bool openConsole();

// ---- the console as shown -------------------------------------------------------------------
std::string text(int row, int col, int count); // UTF-8 of count cells
int attribute(int row, int col);
std::string title();
Cell bufferSize();
Cell windowSize(); // the shown part of the buffer
bool cursorVisible();
unsigned inputMode();
unsigned outputMode();
// What a program must give back, on one line: title, modes, colour, cursor, buffer and window.
std::string state();
int unreadRecords(); // input records the program has not read
bool waitFor(const std::function<bool()>& ready, int ms); // in real time

// ---- the console changed behind the program's back ------------------------------------------
void resize(int rows, int cols);
void blank(); // also in the prompt's colour: light grey on black
void setTitle(const std::string& ascii);

// ---- input records, as the console makes them -----------------------------------------------
struct Record {
    alignas(4) unsigned char raw[20]; // an INPUT_RECORD
};
Record keyDown(int vk, unsigned character = 0, int repeat = 1); // character: a UTF-16 unit
Record keyUp(int vk, unsigned character = 0);
Record mouseAt(int row, int col, unsigned buttons = 0, unsigned flags = 0); // buttons, flags as below
Record resized();
Record focusLost();
void send(const std::vector<Record>& records);

constexpr unsigned LEFT_BUTTON = 0x0001, RIGHT_BUTTON = 0x0002;
constexpr unsigned MOVED = 0x0001, DOUBLE_CLICK = 0x0002, WHEELED = 0x0004;
// Input mode bits.
constexpr unsigned PROCESSED_INPUT = 0x0001, LINE_INPUT = 0x0002, ECHO_INPUT = 0x0004, WINDOW_INPUT = 0x0008,
                   MOUSE_INPUT = 0x0010, QUICK_EDIT = 0x0040, EXTENDED_FLAGS = 0x0080;

// ---- the game (cardbattle.exe of this build) started in this console, as from its prompt -----
class Game {
public:
    explicit Game(const std::string& folder); // its working folder
    ~Game();                                  // ends it if it is still running
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
    bool started() const { return process != nullptr; }
    void typeCtrlC(); // this test program lets it pass by until the game has ended and it has come here too
    bool windowOpened(int waitMs); // its game window
    void closeWindow();            // the window's close button
    long exitCode(int waitMs);     // -1 while it is still running

private:
    void* process = nullptr;
    unsigned long id = 0;
    void* window = nullptr;
    bool ctrlCTyped = false;
};

} // namespace console_probe
