// The emulated terminal the tests read back, on Linux (it is built on libvterm): what the player
// does to it and what the player would see on it.
#pragma once

#include <string>

#include "platform/headless/headless.h"

namespace platform::terminal::headless {

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
// The player gives the terminal another size (before the program starts, or while it runs).
void resizeScreen(int rows, int cols);
// The terminal cannot say its size (as on a serial line).
void hideSize(bool hidden);

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
bool echoing();        // typed keys show on the screen, as in the modes the shell had
bool alternateScreen();
std::string unreadInput(); // what the terminal has sent that the program has not read
long long bytesWritten();
int queriesAnswered();

} // namespace platform::terminal::headless
