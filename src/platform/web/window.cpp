// The game window in the browser: a canvas on the page (web/page.js). The page queues what the
// player does to it (pointer, touch, keys, the page resized) and the program reads the queue at
// every poll (a touch is a click of the left button, and a tap besides). The canvas has the
// frame's pixels and the browser scales them to its box; of each frame only the part that changed
// is sent, which is what makes presenting cheap. Waiting yields to the browser (Asyncify), so that
// the page draws, takes input and stays responsive meanwhile.
#include <emscripten.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/web/page.h"
#include "platform/window_driver.h"

namespace platform::detail {
namespace {

struct Window {
    bool open = false;
    Point frameSize;
    const uint32_t* frame = nullptr; // the last frame shown (the caller keeps it), or none yet
    std::vector<uint32_t> onCanvas;  // what the canvas shows, to send only what changed; empty: unknown
    std::array<bool, 256> down{};
    Point pointer{-1, -1}; // outside the canvas until the pointer is seen over it
    bool tapped = false;   // since tapped() last answered
};

Window& win() {
    static Window w;
    return w;
}

Point clientSize() {
    Point size;
    web_window_client_size(&size.x, &size.y);
    return size;
}

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

// Whether two rows of `width` pixels differ.
bool differ(const uint32_t* a, const uint32_t* b, int width) {
    return std::memcmp(a, b, (size_t)width * sizeof(uint32_t)) != 0;
}

// The smallest rectangle that holds every pixel where `now` differs from `before` (both of `size`,
// row after row); empty when they are the same.
Rect changedPart(const uint32_t* now, const uint32_t* before, Point size) {
    auto row = [&](const uint32_t* pixels, int y) { return pixels + (size_t)y * size.x; };
    int top = 0, bottom = size.y;
    while (top < bottom && !differ(row(now, top), row(before, top), size.x)) ++top;
    if (top == bottom) return {};
    while (!differ(row(now, bottom - 1), row(before, bottom - 1), size.x)) --bottom;
    int left = size.x, right = 0;
    for (int y = top; y < bottom; ++y) {
        const uint32_t* a = row(now, y);
        const uint32_t* b = row(before, y);
        for (int x = 0; x < left; ++x)
            if (a[x] != b[x]) {
                left = x;
                break;
            }
        for (int x = size.x; x > right; --x)
            if (a[x - 1] != b[x - 1]) {
                right = x;
                break;
            }
    }
    return {left, top, right - left, bottom - top};
}

// The part of the last frame that the canvas does not show yet; the whole frame when what the
// canvas shows is not known.
void show() {
    Window& w = win();
    if (!w.frame) return;
    size_t pixels = (size_t)w.frameSize.x * w.frameSize.y;
    Rect part{0, 0, w.frameSize.x, w.frameSize.y};
    if (w.onCanvas.size() == pixels) part = changedPart(w.frame, w.onCanvas.data(), w.frameSize);
    else w.onCanvas.resize(pixels);
    if (part.width <= 0 || part.height <= 0) return;
    web_window_show(w.frame, w.frameSize.x, w.frameSize.y, part.x, part.y, part.width, part.height);
    for (int y = part.y; y < part.y + part.height; ++y) {
        size_t first = (size_t)y * w.frameSize.x + part.x;
        std::copy(w.frame + first, w.frame + first + part.width, w.onCanvas.begin() + (std::ptrdiff_t)first);
    }
}

// The canvas lost what it showed (the browser dropped its pixels): the frame goes whole.
void showWhole() {
    win().onCanvas.clear();
    show();
}

void setKey(int vk, bool down) {
    if (vk < 0 || vk > 0xFF) return;
    win().down[(size_t)vk] = down;
    if (down) notePress(vk);
}

// One event of the page's queue (web::Event), into the key and pointer state.
void apply(const web::Event& e) {
    Window& w = win();
    switch (e.type) {
    case web::POINTER_MOVED: w.pointer = {e.x, e.y}; return;
    case web::BUTTON_DOWN:
    case web::BUTTON_UP:
        w.pointer = {e.x, e.y};
        return setKey(e.code, e.type == web::BUTTON_DOWN);
    case web::KEY_DOWN:
    case web::KEY_UP: return setKey(e.code, e.type == web::KEY_DOWN);
    // The page no longer has the keyboard: releases would never come.
    case web::FOCUS_LOST: w.down.fill(false); return;
    case web::RESIZED: return showWhole();
    case web::TAPPED: w.tapped = true; return;
    default: return;
    }
}

bool open(Point frame, bool keepTerminal, std::string& error) {
    Window& w = win();
    if (!web_window_open(frame.x, frame.y, keepTerminal ? 1 : 0)) {
        error = "the page cannot draw on its canvas";
        return false;
    }
    w.open = true;
    w.frame = nullptr; // a frame of another size is gone with the old size
    w.onCanvas.clear();
    w.tapped = false;
    w.frameSize = frame;
    return true;
}

bool isOpen() { return win().open; }

// A page has nothing the player could close the game with: the tab goes with the program.
bool pump() {
    web::Event e;
    while (web_next_event(&e)) apply(e);
    return true;
}

bool keyDown(int vk) { return vk >= 0 && vk <= 0xFF && win().down[(size_t)vk]; }

Point pointer() { return win().pointer; }

void showFrame(const uint32_t* pixels, Point size) {
    win().frame = pixels;
    win().frameSize = size;
    show();
}

void rest(int ms) { emscripten_sleep((unsigned)ms); }

Point desktopSize() {
    Point size;
    web_desktop_size(&size.x, &size.y);
    return size;
}

bool touchScreen() { return web_touch_screen() != 0; }

bool tapped() {
    bool was = win().tapped;
    win().tapped = false;
    return was;
}

} // namespace

const WindowDriver SYSTEM_WINDOW = {open, isOpen, pump,        keyDown,     pointer, clientSize,
                                    showFrame, rest, desktopSize, touchScreen, tapped};

} // namespace platform::detail
