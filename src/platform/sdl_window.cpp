// The real backend's game window over SDL2: one thread, events pumped at every poll, sleep
// and flush, so the window stays responsive through the game's busy-wait loops.
#include <SDL.h>

#include <cstdio>

#include "platform/backend.h"

namespace platform::detail {
namespace {

struct Window {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int width = 0;
    int height = 0;
    bool shown = false; // something has been presented and can be shown again on exposure
};

Window& win() {
    static Window w;
    return w;
}

struct KeyMapping {
    int vk;
    SDL_Scancode scancode;
};

const KeyMapping KEYS[] = {
    {VK_BACK, SDL_SCANCODE_BACKSPACE}, {VK_TAB, SDL_SCANCODE_TAB},   {VK_RETURN, SDL_SCANCODE_RETURN},
    {VK_ESCAPE, SDL_SCANCODE_ESCAPE},  {VK_SPACE, SDL_SCANCODE_SPACE}, {VK_LEFT, SDL_SCANCODE_LEFT},
    {VK_UP, SDL_SCANCODE_UP},          {VK_RIGHT, SDL_SCANCODE_RIGHT}, {VK_DOWN, SDL_SCANCODE_DOWN},
};

SDL_Scancode scancodeOf(int vk) {
    for (const KeyMapping& k : KEYS)
        if (k.vk == vk) return k.scancode;
    if (vk >= 'A' && vk <= 'Z') return SDL_Scancode(SDL_SCANCODE_A + (vk - 'A'));
    if (vk >= '1' && vk <= '9') return SDL_Scancode(SDL_SCANCODE_1 + (vk - '1'));
    if (vk == '0') return SDL_SCANCODE_0;
    return SDL_SCANCODE_UNKNOWN;
}

// The virtual-key code of a key the game can poll, or -1.
int vkOf(SDL_Scancode code) {
    for (const KeyMapping& k : KEYS)
        if (k.scancode == code) return k.vk;
    if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) return 'A' + (code - SDL_SCANCODE_A);
    if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return '1' + (code - SDL_SCANCODE_1);
    if (code == SDL_SCANCODE_0) return '0';
    return -1;
}

void redraw() {
    Window& w = win();
    if (!w.shown) return;
    SDL_RenderClear(w.renderer);
    SDL_RenderCopy(w.renderer, w.texture, nullptr, nullptr);
    SDL_RenderPresent(w.renderer);
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "cardbattle: %s: %s\n", what, SDL_GetError());
    quit(1);
}

} // namespace

bool nativeOpenNow() { return win().window != nullptr; }

void nativeOpen(int w, int h) {
    Window& s = win();
    if (s.window) return;
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) fail("cannot open the game window");
    s.window = SDL_CreateWindow("cardbattle", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, w, h, SDL_WINDOW_SHOWN);
    if (!s.window) fail("cannot open the game window");
    s.renderer = SDL_CreateRenderer(s.window, -1, 0);
    if (!s.renderer) s.renderer = SDL_CreateRenderer(s.window, -1, SDL_RENDERER_SOFTWARE);
    if (!s.renderer) fail("cannot draw into the game window");
    s.texture = SDL_CreateTexture(s.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, w, h);
    if (!s.texture) fail("cannot draw into the game window");
    s.width = w;
    s.height = h;
    // The window opens black.
    SDL_SetRenderDrawColor(s.renderer, 0, 0, 0, 255);
    SDL_RenderClear(s.renderer);
    SDL_RenderPresent(s.renderer);
    nativePump();
}

void nativePump() {
    if (!nativeOpenNow()) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_MOUSEBUTTONDOWN && e.button.button == SDL_BUTTON_LEFT) notePress(VK_LBUTTON);
        if (e.type == SDL_KEYDOWN && !e.key.repeat) notePress(vkOf(e.key.keysym.scancode));
        if (e.type == SDL_QUIT ||
            (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE)) {
            // Closing the window ends the program.
            quit(0);
        }
        if (e.type == SDL_WINDOWEVENT &&
            (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_RESTORED))
            redraw();
    }
}

// The game polls the pointer dozens of times per frame. Over the window, SDL's event-fed state
// answers without a round trip to the display server; elsewhere the desktop is asked, at most
// once every few milliseconds.
struct PointerState {
    Point position;
    bool left = false;
};

PointerState pointerState() {
    static Uint64 lastPump = 0, lastAsked = 0;
    static PointerState outside;
    Uint64 now = SDL_GetTicks64();
    if (now != lastPump) {
        lastPump = now;
        nativePump();
    }
    int x = 0, y = 0;
    if (SDL_GetMouseFocus() == win().window) {
        Uint32 buttons = SDL_GetMouseState(&x, &y);
        return {{x, y}, (buttons & SDL_BUTTON_LMASK) != 0};
    }
    if (now - lastAsked >= 4 || lastAsked == 0) {
        lastAsked = now;
        int wx = 0, wy = 0;
        Uint32 buttons = SDL_GetGlobalMouseState(&x, &y);
        SDL_GetWindowPosition(win().window, &wx, &wy);
        outside = {{x - wx, y - wy}, (buttons & SDL_BUTTON_LMASK) != 0};
    }
    return outside;
}

bool nativeKeyDown(int vk) {
    if (vk == VK_LBUTTON) return pointerState().left;
    pointerState(); // keeps the events flowing
    SDL_Scancode code = scancodeOf(vk);
    if (code == SDL_SCANCODE_UNKNOWN) return false;
    return SDL_GetKeyboardState(nullptr)[code] != 0;
}

Point nativePointer() { return pointerState().position; }

void nativePresent(const uint32_t* pixels, int w, int h) {
    Window& s = win();
    if (w != s.width || h != s.height) return;
    SDL_UpdateTexture(s.texture, nullptr, pixels, w * 4);
    s.shown = true;
    redraw();
    nativePump();
}

void nativeSleep(int ms) {
    // Sleep in short slices so that a close or an exposure is answered promptly.
    Uint64 end = SDL_GetTicks64() + (ms > 0 ? ms : 0);
    nativePump();
    for (;;) {
        Uint64 now = SDL_GetTicks64();
        if (now >= end) break;
        Uint64 left = end - now;
        SDL_Delay((Uint32)(left < 10 ? left : 10));
        nativePump();
    }
}

Point nativeDesktopSize() {
    bool started = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    if (!started && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return {0, 0};
    SDL_DisplayMode mode;
    Point size{0, 0};
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) size = {mode.w, mode.h};
    return size;
}

} // namespace platform::detail
