// The game window on Linux, over SDL2. Frames go to the window surface in software: the frame is
// composed in software already, and a renderer would load a whole OpenGL stack for one blit.
#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/letterbox.h"
#include "platform/linux/display.h"
#include "platform/linux/x11.h"
#include "platform/window_driver.h"

namespace platform::detail {
namespace {

struct Window {
    SDL_Window* window = nullptr;
    Point frameSize;
    const uint32_t* frame = nullptr; // the last frame presented (the caller keeps it), or none yet
    LetterboxScaler scaler;
    std::vector<uint32_t> converted; // for a window surface whose pixels are laid out otherwise
    bool framed = false;             // the manager has said its frame, and the window was fitted to it
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

// SDL's pixel format names the layout of a 32-bit value; the frame's 0x00RRGGBB is RGB888.
bool framePixelLayout(const SDL_PixelFormat* f) {
    return f->BytesPerPixel == 4 && f->Rmask == 0xFF0000 && f->Gmask == 0xFF00 && f->Bmask == 0xFF;
}

// Draws the last frame, letterboxed, into the window surface and sends it to the screen.
void show() {
    Window& w = win();
    SDL_Surface* surface = SDL_GetWindowSurface(w.window);
    if (!surface) return; // nothing to draw into (a minimised window, for one)
    if (!w.frame) { // the window opens black
        SDL_FillRect(surface, nullptr, 0);
        SDL_UpdateWindowSurface(w.window);
        return;
    }
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    Point size{surface->w, surface->h};
    bool direct = framePixelLayout(surface->format);
    uint32_t* out = (uint32_t*)surface->pixels;
    int pitch = surface->pitch / 4;
    if (!direct) {
        w.converted.resize((size_t)size.x * size.y);
        out = w.converted.data();
        pitch = size.x;
    }
    w.scaler.draw(w.frame, w.frameSize, out, pitch, size);
    if (!direct)
        SDL_ConvertPixels(size.x, size.y, SDL_PIXELFORMAT_RGB888, out, pitch * 4, surface->format->format,
                          surface->pixels, surface->pitch);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_UpdateWindowSurface(w.window);
}

// How long a window manager may take to answer a full-screen request.
constexpr int FULLSCREEN_WAIT_MS = 300;

// Whether the screen shows the window at the size SDL takes it to have (SDL learns the size the
// manager gave from the events it reads).
bool sizeTaken(SDL_Window* w) {
    for (int waited = 0;; waited += 10) {
        SDL_PumpEvents();
        Point onScreen, taken;
        SDL_GetWindowSize(w, &taken.x, &taken.y);
        if (!sizeOnScreen(w, onScreen) || (onScreen.x == taken.x && onScreen.y == taken.y)) return true;
        if (waited >= FULLSCREEN_WAIT_MS) return false;
        SDL_Delay(10);
    }
}

// F11: the window over the whole screen, and back. Where the system does not grant it (no window
// manager, or one that refuses), the window stays as it was: SDL would otherwise draw a frame of
// the screen's size into it, cropped.
void toggleFullscreen() {
    SDL_Window* w = win().window;
    bool full = (SDL_GetWindowFlags(w) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
    if (full) {
        SDL_SetWindowFullscreen(w, 0);
        return show();
    }
    if (!windowManagerRuns(w)) return;
    Point windowed;
    SDL_GetWindowSize(w, &windowed.x, &windowed.y);
    SDL_SetWindowFullscreen(w, SDL_WINDOW_FULLSCREEN_DESKTOP);
    if (!sizeTaken(w)) {
        SDL_SetWindowFullscreen(w, 0);
        SDL_SetWindowSize(w, windowed.x, windowed.y);
    }
    show();
}

bool showsAgain(const SDL_WindowEvent& e) {
    return e.event == SDL_WINDOWEVENT_EXPOSED || e.event == SDL_WINDOWEVENT_RESTORED ||
           e.event == SDL_WINDOWEVENT_SIZE_CHANGED;
}

// Set before SDL starts anything: the window surface stays in software (no OpenGL library
// loaded), SDL installs no signal handlers of its own (the program restores the terminal on fatal
// signals itself), and only drivers that show the player a window are tried.
bool startVideo(std::string& error) {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    DisplayEnvironment env = displayEnvironment();
    std::string drivers = videoDrivers(env);
    if (drivers.empty()) {
        error = noDisplayReason(env, "");
        return false;
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    error = noDisplayReason(env, SDL_GetError());
    return false;
}

// Standard error sent nowhere for a while: the display libraries print their complaints there,
// which would land on the launcher's screen. A window that then cannot open says why anyway.
class StderrMuffled {
public:
    StderrMuffled() {
        std::fflush(stderr);
        int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (nowhere < 0) return;
        saved_ = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
        if (saved_ >= 0) ::dup2(nowhere, STDERR_FILENO);
        ::close(nowhere);
    }
    ~StderrMuffled() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    StderrMuffled(const StderrMuffled&) = delete;
    StderrMuffled& operator=(const StderrMuffled&) = delete;

private:
    int saved_ = -1;
};

bool failed(std::string& error) {
    error = SDL_GetError();
    return false;
}

bool isOpen() { return win().window != nullptr; }

// What the window manager adds around the client area (title bar, borders). It says so only once
// the window exists (X11's _NET_FRAME_EXTENTS, read by SDL); before, or without a manager that
// says, an allowance that covers common title bars.
constexpr Point FRAME_ALLOWANCE{8, 40};

Point frameAround() {
    int top = 0, left = 0, bottom = 0, right = 0;
    SDL_Window* w = win().window;
    if (w && SDL_GetWindowBordersSize(w, &top, &left, &bottom, &right) == 0 && top + left + bottom + right > 0)
        return {left + right, top + bottom};
    return FRAME_ALLOWANCE;
}

// The part of the first display that windows may take (the desktop less its panels).
bool usableArea(SDL_Rect& area) { return SDL_GetDisplayUsableBounds(0, &area) == 0 && area.w > 0 && area.h > 0; }

// The largest client area whose window, frame included, fits the usable area; {0, 0} when unknown.
Point roomForClient() {
    SDL_Rect area;
    if (!usableArea(area)) return {0, 0};
    Point frame = frameAround();
    return {std::max(area.w - frame.x, 0), std::max(area.h - frame.y, 0)};
}

// Where a new window goes: its whole frame centred in the usable area. A window manager takes the
// position for its frame's corner; without one it is the client area's, a little higher.
Point centred(Point client) {
    SDL_Rect area;
    if (!usableArea(area)) return {SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED};
    Point frame = frameAround();
    return {area.x + std::max((area.w - client.x - frame.x) / 2, 0), area.y + std::max((area.h - client.y - frame.y) / 2, 0)};
}

// Once the manager has said its frame, the whole window, frame included, is put on the usable
// area: the allowance it opened with may have been too small (a large title bar). Done once, so a
// window the player moves or resizes later stays where the player puts it.
void keepFrameOnScreen() {
    Window& s = win();
    int top = 0, left = 0, bottom = 0, right = 0;
    SDL_Rect area;
    if (s.framed || SDL_GetWindowBordersSize(s.window, &top, &left, &bottom, &right) != 0 ||
        top + left + bottom + right == 0)
        return;
    s.framed = true;
    if ((SDL_GetWindowFlags(s.window) & SDL_WINDOW_FULLSCREEN) || !usableArea(area)) return;
    Point client, at, room{area.w - left - right, area.h - top - bottom};
    SDL_GetWindowSize(s.window, &client.x, &client.y);
    if (client.x > room.x || client.y > room.y) {
        client = windowFor(s.frameSize, room);
        SDL_SetWindowSize(s.window, client.x, client.y);
    }
    SDL_GetWindowPosition(s.window, &at.x, &at.y);
    Point inside{std::max(area.x + left, std::min(at.x, area.x + area.w - right - client.x)),
                 std::max(area.y + top, std::min(at.y, area.y + area.h - bottom - client.y))};
    if (inside.x != at.x || inside.y != at.y) SDL_SetWindowPosition(s.window, inside.x, inside.y);
}

bool open(Point frame, bool, std::string& error) { // the terminal stays as it is
    Window& s = win();
    if (s.window) {
        // Opened again (the game opens it once): the frame shown so far may be gone, and the
        // next one has the new size.
        s.frame = nullptr;
        s.frameSize = frame;
        Point client = windowFor(frame, roomForClient());
        SDL_SetWindowSize(s.window, client.x, client.y);
        show();
        return true;
    }
    if (!startVideo(error)) return false;
    // A frame larger than the screen has room for is shown scaled down (the letterbox maps the
    // pointer back). Resizable: tiling window managers resize windows whatever they ask for, and
    // the frame is stretched to fit in any case.
    Point client = windowFor(frame, roomForClient());
    Point at = centred(client);
    s.window = SDL_CreateWindow("cardbattle", at.x, at.y, client.x, client.y, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    if (!s.window || !SDL_GetWindowSurface(s.window)) return failed(error);
    s.frameSize = frame;
    keepFrameOnScreen();
    show();
    return true;
}

// At most once a millisecond: the game polls many times a millisecond in its waiting loops, and
// nothing new can have come.
bool pump() {
    static Uint64 lastPump = 0;
    Uint64 now = SDL_GetTicks64();
    if (now == lastPump) return true;
    lastPump = now;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_MOUSEBUTTONDOWN && e.button.button == SDL_BUTTON_LEFT) notePress(VK_LBUTTON);
        if (e.type == SDL_KEYDOWN && !e.key.repeat) notePress(vkOf(e.key.keysym.scancode));
        if (e.type == SDL_KEYDOWN && !e.key.repeat && e.key.keysym.scancode == SDL_SCANCODE_F11) toggleFullscreen();
        if (e.type == SDL_QUIT || (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE))
            return false;
        if (e.type == SDL_WINDOWEVENT && showsAgain(e.window)) show();
    }
    keepFrameOnScreen();
    return true;
}

// The game polls the pointer dozens of times per frame. Over the window, SDL's event-fed state
// answers without a round trip to the display server; elsewhere the desktop is asked, at most
// once every few milliseconds.
struct PointerState {
    Point position;
    bool left = false;
};

PointerState pointerState() {
    static Uint64 lastAsked = 0;
    static PointerState outside;
    Uint64 now = SDL_GetTicks64();
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

bool keyDown(int vk) {
    if (vk == VK_LBUTTON) return pointerState().left;
    SDL_Scancode code = scancodeOf(vk);
    if (code == SDL_SCANCODE_UNKNOWN) return false;
    return SDL_GetKeyboardState(nullptr)[code] != 0;
}

Point pointer() { return pointerState().position; }

Point clientSize() {
    int w = 0, h = 0;
    SDL_GetWindowSize(win().window, &w, &h);
    return {w, h};
}

void showFrame(const uint32_t* pixels, Point) {
    win().frame = pixels;
    show();
}

void rest(int ms) { SDL_Delay((Uint32)ms); }

Point desktopSize() {
    std::string error;
    bool started;
    {
        StderrMuffled quiet; // asked while the launcher is on the screen
        started = startVideo(error);
    }
    return started ? roomForClient() : Point{0, 0};
}

} // namespace

const WindowDriver SYSTEM_WINDOW = {open, isOpen, pump, keyDown, pointer, clientSize, showFrame, rest, desktopSize};

} // namespace platform::detail
