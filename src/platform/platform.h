// The operating-system seam. The game never knows which system's window it runs in, or whether
// it runs on the headless backend the tests use; everything it needs from the machine passes here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/keys.h"

namespace platform {

struct Point {
    int x = 0;
    int y = 0;
};

// Thrown out of a poll, sleep or flush on the headless backend once a test has scripted the
// window's close, so that never-returning loops can be left. The real backend ends the process.
struct WindowClosed {};

// ---- time -------------------------------------------------------------------------------
// Suspends the caller; the real backend keeps the window serviced meanwhile.
void sleepMs(int ms);
// Milliseconds on a monotonic clock (the virtual clock on the headless backend).
long long nowMs();

// ---- keys and pointer --------------------------------------------------------------------
// Whether the key or mouse button `vk` is down now, from every input source the process has:
// the game window and, once the terminal is in use, the terminal's keys and left button.
bool keyDown(int vk);
// The pointer in pixels of the frame, relative to the game window's client area (may lie outside
// it). In a resized window it is mapped back through the scaling, so that it names the frame pixel
// drawn under it; positions on the bars or outside the window lie outside the frame.
Point windowPointer();

// Touch, which only the browser's window takes (false on every other system): whether the window
// is on a touch screen, and whether a touch ended on the window since this was last asked (a
// tap; the answer clears it). A tap is also a click of the left button where it lands; this tells
// it apart from a click of the mouse.
bool touchScreen();
bool tapped();

// ---- the game window ---------------------------------------------------------------------
// Opens the window (client area w x h, title "cardbattle") and shows it black. keepTerminal is
// the launcher's debug flag: on Windows the program's console window is hidden unless it is set;
// on Linux the terminal stays as it is either way.
void openWindow(int w, int h, bool keepTerminal);
bool windowIsOpen();
// The largest client area whose whole window (the frame the system adds included) fits the
// desktop's usable area, less its panels or task bar; {0, 0} when there is no desktop to ask. The
// launcher picks the largest window that fits it; a larger one opens scaled down to fit it.
Point desktopSize();
// Shows a whole frame of 0x00RRGGBB pixels, row after row, w x h, scaled to fit the window with
// its aspect kept when the window has been resized. The pixels must stay readable and unchanged
// until the next present: they are shown again when the window is exposed or resized.
void present(const uint32_t* pixels, int w, int h);
// A frame was flushed that is the same as the one on screen: nothing to send.
void presentUnchanged();

// ---- files ---------------------------------------------------------------------------------
enum class PathKind { MISSING, REGULAR, DIRECTORY, OTHER };
// What is at `path` (symbolic links followed), found without opening it: opening a FIFO or a
// device could wait for ever.
PathKind pathKind(const std::string& path);
// Reads a whole regular file of at most maxBytes bytes. Anything else (a directory, a FIFO, a
// device, a larger file) is refused without being read; on failure returns false and says why in
// `error` ("it is a directory", ...).
bool readFile(const std::string& path, size_t maxBytes, std::string& bytes, std::string& error);
// Replaces the file's content by `bytes`. On failure returns false and says why in `error`.
bool writeFile(const std::string& path, const std::string& bytes, std::string& error);
// The running program's own file and the working folder, as absolute paths; "" when unknown.
std::string executablePath();
std::string workingFolder();
// Paths are UTF-8 strings throughout the program; these make a std::filesystem path of one and
// back, since such a path's own narrow strings are in another encoding on Windows. Bytes that are
// not UTF-8 pass through unchanged on Linux and become U+FFFD on Windows.
std::filesystem::path pathOf(const std::string& utf8);
std::string utf8Of(const std::filesystem::path& path);
// The path made absolute from the working folder, its "." and ".." steps resolved; the path
// itself when that cannot be done.
std::string fullPath(const std::string& utf8);

// ---- text ---------------------------------------------------------------------------------
// Converts game text (GBK bytes) to UTF-8; undecodable bytes become U+FFFD.
std::string gbkToUtf8(const std::string& gbk);
// Converts UTF-8 to GBK (for text typed into the terminal); characters GBK lacks become '?'.
std::string utf8ToGbk(const std::string& utf8);

// ---- randomness --------------------------------------------------------------------------
// The seed a match start takes: the clock's, unless a test has fixed it.
unsigned matchSeed();

// ---- ways out ----------------------------------------------------------------------------
// Gives the terminal back as it was found and ends the process with `code`. Every other way out
// (normal exit, a signal that ends the process) gives it back too, as does a stop (Ctrl-Z).
[[noreturn]] void quit(int code);

} // namespace platform
