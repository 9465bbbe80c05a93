// The game window in the browser: a canvas on the page (web/page.js). The page queues what the
// player does to it (pointer, touch, keys, the page resized) and the program reads the queue at
// every poll; frames go to the canvas letterboxed into its device pixels. Waiting yields to the
// browser (Asyncify), so that the page draws, takes input and stays responsive meanwhile.
#include <emscripten.h>

#include <array>

#include "platform/letterbox.h"
#include "platform/web/page.h"
#include "platform/window_driver.h"

namespace platform::detail {
namespace {

struct Window {
    bool open = false;
    Point frameSize;
    const uint32_t* frame = nullptr; // the last frame shown (the caller keeps it), or none yet
    std::array<bool, 256> down{};
    Point pointer{-1, -1}; // outside the canvas until the pointer is seen over it
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

// The last frame again, placed as the shared letterbox rules place it in the canvas as it is now.
void show() {
    Window& w = win();
    if (!w.frame) return;
    Placement at = fitFrame(w.frameSize, clientSize());
    web_window_show(w.frame, w.frameSize.x, w.frameSize.y, at.x, at.y, at.width, at.height);
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
    case web::RESIZED: return show();
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

} // namespace

const WindowDriver SYSTEM_WINDOW = {open, isOpen, pump, keyDown, pointer, clientSize, showFrame, rest, desktopSize};

} // namespace platform::detail
