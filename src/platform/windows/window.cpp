// The game window on Windows. Frames are shown by a DIB blit. Keys and the pointer are read
// system-wide, as the game was written to read them.
#include "platform/letterbox.h"
#include "platform/window_driver.h"

// After the platform's headers: windows.h defines the virtual-key names as macros.
#include <windows.h>
#include <mmsystem.h>
#include <windowsx.h>

#include <algorithm>
#include <thread> // also brings the clocks: <chrono> itself cannot be compiled for GBK text
#include <vector>

namespace platform::detail {
namespace {

const wchar_t WINDOW_CLASS[] = L"cardbattle";
const wchar_t WINDOW_TITLE[] = L"cardbattle";
constexpr DWORD WINDOWED_STYLE = WS_OVERLAPPEDWINDOW;
constexpr DWORD FULLSCREEN_STYLE = WS_POPUP;
// The icon resource the program is linked with.
constexpr int ICON_RESOURCE = 1;

struct Window {
    HWND hwnd = nullptr;
    Point frameSize;
    const uint32_t* frame = nullptr; // the last frame presented (the caller keeps it), or none yet
    LetterboxScaler scaler;
    std::vector<uint32_t> scaled; // the frame letterboxed into a client area of another size
    bool closed = false;
    bool fullscreen = false;
    WINDOWPLACEMENT windowed{}; // where to go back to from fullscreen
};

Window& win() {
    static Window w;
    return w;
}

// The game polls thousands of times a second in its waiting loops, and under Wine each question to
// the system is a round trip to its server (the pointer one to the X server as well). So the
// system-wide key state and pointer position are read at most once in each READ_INTERVAL_MS, and
// what the window's own messages say (the pointer moving over it, keys and the left button going
// down and up while it has them) is taken at once in between; while the pointer is over the
// window its messages say where it is, and the system is asked only now and then (which also
// finds it gone when it leaves). The window is serviced at most every PUMP_INTERVAL_MS (the shared
// code asks at every poll, every slice of a sleep and every flush).
constexpr long long READ_INTERVAL_MS = 20;
constexpr long long POINTER_OVER_READ_INTERVAL_MS = 250;
constexpr long long PUMP_INTERVAL_MS = 20;

struct Interval {
    long long last = -1000000;
    bool due(long long now, long long length) {
        if (now - last < length && now >= last) return false;
        last = now;
        return true;
    }
};

struct Input {
    Interval keyRead[256];
    bool down[256] = {};
    Interval pointerRead;
    Point pointer;
    bool pointerOver = false; // seen over the client area, by its messages or the last read
};

Input& input() {
    static Input in;
    return in;
}

// A key or the left button went down or up in the window.
void keyChanged(int vk, bool down) {
    if (vk < 0 || vk > 0xFF) return;
    input().down[vk] = down;
    if (down) notePress(vk);
}

Point clientSize(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return {(int)(r.right - r.left), (int)(r.bottom - r.top)};
}

void blit(HDC dc, const uint32_t* pixels, Point size) {
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = size.x;
    bmi.bmiHeader.biHeight = -size.y; // rows from the top down, as the frame has them
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32; // 0x00RRGGBB, as the frame has them
    bmi.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, 0, 0, size.x, size.y, 0, 0, size.x, size.y, pixels, &bmi, DIB_RGB_COLORS, SRCCOPY);
}

// Draws the last frame into the client area, letterboxed when the window has another size.
void show(HDC dc) {
    Window& w = win();
    Point size = clientSize(w.hwnd);
    if (size.x <= 0 || size.y <= 0) return; // minimised
    if (!w.frame) { // the window opens black
        RECT r{0, 0, size.x, size.y};
        FillRect(dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH));
        return;
    }
    if (size.x == w.frameSize.x && size.y == w.frameSize.y) return blit(dc, w.frame, size);
    w.scaled.resize((size_t)size.x * size.y);
    w.scaler.draw(w.frame, w.frameSize, w.scaled.data(), size.x, size);
    blit(dc, w.scaled.data(), size);
}

void showNow() {
    HWND hwnd = win().hwnd;
    HDC dc = GetDC(hwnd);
    show(dc);
    ReleaseDC(hwnd, dc);
}

// F11: the window without its frame over the whole monitor it is on, and back.
void toggleFullscreen() {
    Window& w = win();
    if (!w.fullscreen) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        w.windowed.length = sizeof w.windowed;
        if (!GetWindowPlacement(w.hwnd, &w.windowed) ||
            !GetMonitorInfoW(MonitorFromWindow(w.hwnd, MONITOR_DEFAULTTONEAREST), &monitor))
            return;
        const RECT& m = monitor.rcMonitor;
        SetWindowLongPtrW(w.hwnd, GWL_STYLE, FULLSCREEN_STYLE | WS_VISIBLE);
        SetWindowPos(w.hwnd, HWND_TOP, m.left, m.top, m.right - m.left, m.bottom - m.top,
                     SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    } else {
        SetWindowLongPtrW(w.hwnd, GWL_STYLE, WINDOWED_STYLE | WS_VISIBLE);
        SetWindowPlacement(w.hwnd, &w.windowed);
        SetWindowPos(w.hwnd, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    }
    w.fullscreen = !w.fullscreen;
    InvalidateRect(w.hwnd, nullptr, FALSE);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        // The pump ends the program once the message has been handled.
        win().closed = true;
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        show(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1; // every pixel is painted, bars included
    case WM_SIZE:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_MOUSEMOVE:
        input().pointer = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        input().pointerOver = true;
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        keyChanged(VK_LBUTTON, message == WM_LBUTTONDOWN);
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // Repeated key messages carry bit 30 of lParam: the key was down already.
        if (lParam & (1L << 30)) break;
        keyChanged((int)wParam, true);
        if (wParam == VK_F11) toggleFullscreen();
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        keyChanged((int)wParam, false);
        break;
    case WM_SYSCOMMAND:
        // Alt or F10 alone would enter the window menu's modal loop and stop the game.
        if ((wParam & 0xFFF0) == SC_KEYMENU) return 0;
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The system's reason in words, and its number.
bool failed(std::string& error) {
    DWORD code = GetLastError();
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, (LPSTR)&text, 0, nullptr);
    std::string words(text ? text : "", text ? length : 0);
    LocalFree(text);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' ' || words.back() == '.'))
        words.pop_back();
    error = (words.empty() ? "" : words + " ") + "(Windows error " + std::to_string(code) + ")";
    return false;
}

// The console window, when it is the program's own: started from Explorer rather than from a
// command prompt, whose window the player still wants.
HWND ownConsoleWindow() {
    HWND console = GetConsoleWindow();
    DWORD processes[2];
    if (!console || GetConsoleProcessList(processes, 2) != 1) return nullptr;
    return console;
}

// The outer size of a window whose client area is w x h.
Point outerSize(int w, int h) {
    RECT r{0, 0, w, h};
    AdjustWindowRectEx(&r, WINDOWED_STYLE, FALSE, 0);
    return {(int)(r.right - r.left), (int)(r.bottom - r.top)};
}

bool registerClass(std::string& error) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(ICON_RESOURCE));
    wc.hCursor = LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW);
    wc.lpszClassName = WINDOW_CLASS;
    return RegisterClassExW(&wc) || failed(error);
}

long long clockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool isOpen() { return win().hwnd != nullptr; }

// The work area: the screen less the taskbar.
RECT workArea() {
    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return work;
}

Point desktopSize() {
    // The largest client area whose window fits in the work area.
    RECT work = workArea();
    Point frame = outerSize(0, 0);
    return {std::max<int>(work.right - work.left - frame.x, 0), std::max<int>(work.bottom - work.top - frame.y, 0)};
}

// Where a new window goes: in the console's place when it hides a console of its own, centred in
// the work area when it was scaled to fit there, else where the system puts new windows; moved
// into the work area where it would hang over its edge.
Point placement(Point outer, bool scaled, HWND console) {
    RECT work = workArea(), at{};
    if (console && GetWindowRect(console, &at)) {
        LONG x = std::max(std::min<LONG>(at.left, work.right - outer.x), work.left);
        LONG y = std::max(std::min<LONG>(at.top, work.bottom - outer.y), work.top);
        return {(int)x, (int)y};
    }
    if (!scaled) return {CW_USEDEFAULT, CW_USEDEFAULT};
    return {(int)(work.left + std::max<LONG>((work.right - work.left - outer.x) / 2, 0)),
            (int)(work.top + std::max<LONG>((work.bottom - work.top - outer.y) / 2, 0))};
}

bool open(Point frame, bool keepTerminal, std::string& error) {
    Window& s = win();
    // A frame larger than the work area has room for is shown scaled down (the letterbox maps the
    // pointer back).
    Point client = windowFor(frame, desktopSize());
    Point outer = outerSize(client.x, client.y);
    if (s.hwnd) {
        // Opened again (the game opens it once): the frame shown so far may be gone, and the
        // next one has the new size.
        s.frame = nullptr;
        s.frameSize = frame;
        if (!s.fullscreen)
            SetWindowPos(s.hwnd, nullptr, 0, 0, outer.x, outer.y, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        showNow();
        return true;
    }
    if (!registerClass(error)) return false;
    HWND console = keepTerminal ? nullptr : ownConsoleWindow();
    bool scaled = client.x != frame.x || client.y != frame.y;
    Point at = placement(outer, scaled, console);
    s.frameSize = frame;
    s.hwnd = CreateWindowExW(0, WINDOW_CLASS, WINDOW_TITLE, WINDOWED_STYLE, at.x, at.y, outer.x, outer.y, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!s.hwnd) return failed(error);
    // Sleep in steps of a millisecond rather than of the system's 15.6 ms tick (until the process ends).
    timeBeginPeriod(1);
    ShowWindow(s.hwnd, SW_SHOW);
    SetForegroundWindow(s.hwnd);
    if (console) ShowWindow(console, SW_HIDE);
    showNow();
    return true;
}

bool pump() {
    static Interval pumped;
    Window& w = win();
    if (!pumped.due(clockMs(), PUMP_INTERVAL_MS)) return !w.closed;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) w.closed = true;
        DispatchMessageW(&msg);
    }
    return !w.closed;
}

bool keyDown(int vk) {
    if (vk < 0 || vk > 0xFF) return false;
    Input& in = input();
    if (in.keyRead[vk].due(clockMs(), READ_INTERVAL_MS)) {
        // The state is kept for the physical buttons: the primary one is the right button for a
        // player who has swapped them.
        int key = vk == VK_LBUTTON && GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : vk;
        in.down[vk] = (GetAsyncKeyState(key) & 0x8000) != 0;
    }
    return in.down[vk];
}

Point pointer() {
    Input& in = input();
    POINT p{};
    long long interval = in.pointerOver ? POINTER_OVER_READ_INTERVAL_MS : READ_INTERVAL_MS;
    if (in.pointerRead.due(clockMs(), interval) && GetCursorPos(&p) && ScreenToClient(win().hwnd, &p)) {
        in.pointer = {(int)p.x, (int)p.y};
        Point size = clientSize(win().hwnd);
        in.pointerOver = p.x >= 0 && p.y >= 0 && p.x < size.x && p.y < size.y;
    }
    return in.pointer;
}

Point clientArea() { return clientSize(win().hwnd); }

void showFrame(const uint32_t* pixels, Point) {
    win().frame = pixels;
    showNow();
}

void rest(int ms) { Sleep((DWORD)ms); }

} // namespace

const WindowDriver SYSTEM_WINDOW = {open, isOpen, pump, keyDown, pointer, clientArea, showFrame, rest, desktopSize};

} // namespace platform::detail
