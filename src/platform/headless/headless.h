// The headless backend's test-facing side: a virtual clock, scripted input, the recorded frame and
// the emulated terminal. Tests, fuzz targets, benchmarks and tools link it (the library
// cardbattle_headless); the game never does.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/terminal.h"

namespace platform {

namespace headless {

// Switches the headless backend on, or resets it: pointer, keys, clock, callback, terminal,
// window record, counters, desktop size and seed all start clean.
void enable();
// Gives the program back to the system's own window and terminal.
void disable();
bool active();

void setPointer(int x, int y);  // window pixels
void setKey(int vk, bool down); // keys and mouse buttons
// Runs at every input poll (before the poll reads) and at every sleep; may throw to end a test.
void setCallback(std::function<void()> callback);

// What the callback is being run for: a key poll (which key), a pointer poll or a sleep.
struct Occasion {
    enum Kind { KEY_POLL, POINTER_POLL, SLEEP } kind = SLEEP;
    int vk = 0; // the key polled
    int ms = 0; // the sleep's length
};
Occasion occasion();
// Runs after every frame presented (flushed), for checks of the game's state frame by frame.
void setFlushObserver(std::function<void()> observer);

long long clock();        // virtual milliseconds since enable()
int flushCount();         // frames presented since enable()
int sleepCount();         // sleeps since enable()
int pollCount();          // key and pointer polls since enable()

// What the game asked initgraph for.
struct WindowRequest {
    bool opened = false;
    int width = 0;
    int height = 0;
    bool keepTerminal = false;
};
WindowRequest windowRequest();

// The last presented frame, 0x00RRGGBB; pixel() is 0 outside it or before any flush.
const std::vector<uint32_t>& lastFrame();
Point frameSize();
uint32_t pixel(int x, int y);

// Every later poll, sleep or flush throws WindowClosed.
void closeWindow();

void setDesktopSize(int w, int h);
Point desktopSize();

// Fixes the seed that matchSeed() returns from now on.
void setSeed(unsigned seed);

// Touch, which only the browser has: the window on a touch screen, and a tap that tapped() answers
// once (a tap's click, where it has one, is scripted with setPointer and setKey as any click).
void setTouchScreen(bool yes);
void tap();

} // namespace headless

namespace terminal {

// The emulated terminal the tests read back (Linux only: it is built on libvterm; elsewhere only
// setInteractive exists, over the system's own terminal).
namespace headless {

// What the program sees: whether it runs in a terminal at all (on Windows too, where the tests'
// terminal is the console they run in, if any).
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

} // namespace headless

} // namespace terminal
} // namespace platform
