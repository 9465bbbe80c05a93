// The operating-system seam. The game never knows whether it runs on SDL in a real window or
// on the headless backend the tests use; everything it needs from the machine passes here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Virtual-key codes the game polls (the values of the Windows key codes it was written for).
enum : int {
    VK_LBUTTON = 0x01,
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
};

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

// ---- the game window ---------------------------------------------------------------------
// Opens the window (client area w x h, title "cardbattle") and shows it black. keepTerminal is
// the launcher's debug flag: the terminal stays as it is either way on Linux.
void openWindow(int w, int h, bool keepTerminal);
bool windowIsOpen();
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

// A size for messages: "N MiB" (rounded) from a mebibyte up, "N bytes" below.
inline std::string byteCount(size_t bytes) {
    constexpr size_t MIB = size_t(1) << 20;
    return bytes < MIB ? std::to_string(bytes) + " bytes" : std::to_string((bytes + MIB / 2) / MIB) + " MiB";
}

// ---- pictures and text support -----------------------------------------------------------
// The largest picture side decoded; a PNG declaring more is refused before it is decoded.
constexpr int MAX_PICTURE_SIDE = 4096;
// A decoded picture, 0xAARRGGBB per pixel, row after row.
struct RgbaPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};
// A decoded PNG in the decoder's own buffer, so that loading holds the picture once: width x
// height pixels of four bytes (red, green, blue, alpha), row after row, aligned for 32-bit access.
// The owner may rewrite it in place.
struct PngPixels {
    int width = 0;
    int height = 0;
    struct Release {
        void operator()(uint8_t* bytes) const;
    };
    std::unique_ptr<uint8_t[], Release> bytes;
};
// Reads a PNG file and nothing else: a file not starting with the PNG signature is "not a PNG
// file", and a picture with a side of 0 or over MAX_PICTURE_SIDE is refused from its header. The
// file and the decoder's work together take at most memoryLimit bytes, however the file is made.
// On failure returns false and says why in `error`.
bool decodePng(const std::string& path, size_t memoryLimit, PngPixels& out, std::string& error);
// The same, as 0xAARRGGBB pixels (for the project's tools and tests).
bool decodePng(const std::string& path, RgbaPicture& out, std::string& error);
// Writes a PNG file (for the project's tools and tests). On failure returns false with `error`.
bool encodePng(const std::string& path, const RgbaPicture& picture, std::string& error);
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

// ---- the headless backend (tests) --------------------------------------------------------
namespace headless {

// Switches the headless backend on, or resets it: pointer, keys, clock, callback, terminal,
// window record, counters, desktop size and seed all start clean.
void enable();
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

} // namespace headless

// The desktop's size in pixels (the launcher picks the largest window that fits).
Point desktopSize();

} // namespace platform
