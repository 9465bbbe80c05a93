// The terminal on Windows: the console, through the console API. Mouse and keys come from the
// console's input records (the pointer cell is given directly, keys with their presses and
// releases), with quick-edit off so that a click reaches the program instead of starting a
// selection. Everything the program changed (input and output modes, the buffer's size, colours,
// cursor and the title) is given back on every way out; the give-back may run on the thread of a
// console control event, so it runs once, whoever comes first.
//
// The launcher draws on the console's own buffer, as "cls" and "mode con" would: a buffer of its
// own (shown with SetConsoleActiveScreenBuffer) would keep the prompt's screen, but switching
// buffers makes Wine's console window crash now and then, and Wine is where this is tested.
#include "platform/platform.h"
#include "platform/terminal/device.h"
#include "platform/ways_out.h"

// After the platform's headers: windows.h defines the virtual-key names as macros.
#include <windows.h>

#include <algorithm>
#include <atomic>

namespace platform::terminal::detail {
namespace {

// The launcher's input: mouse and window events, Ctrl-C still a control event, and no quick-edit
// (ENABLE_EXTENDED_FLAGS without ENABLE_QUICK_EDIT_MODE turns it off).
constexpr DWORD INPUT_MODE = ENABLE_PROCESSED_INPUT | ENABLE_MOUSE_INPUT | ENABLE_WINDOW_INPUT | ENABLE_EXTENDED_FLAGS;
// No wrap at the end of a line: the screen model places every line itself, and writing the last
// cell of the screen must not scroll it.
constexpr DWORD OUTPUT_MODE = ENABLE_PROCESSED_OUTPUT;
constexpr DWORD READ_AT_ONCE = 64;
constexpr size_t TITLE_MAX = 1024;
// How long the give-back waits for a change the main thread is making to the console.
constexpr int CHANGE_WAIT_MS = 500;

struct Console {
    // Held by every change to the console, so that the give-back comes between two changes and the
    // program's own thread changes nothing once the process is ending.
    CRITICAL_SECTION changing;
    std::atomic<bool> ended{false};
    HANDLE in = nullptr; // standard input and output, as the program found them
    HANDLE out = nullptr;
    // Written before `held` is set and read after it is taken back, from any thread.
    std::atomic<bool> held{false}; // something was changed: the way out gives it back
    std::atomic<bool> inputHeld{false};
    bool drawing = false; // the output mode is the launcher's
    DWORD inMode = 0;
    DWORD outMode = 0;
    CONSOLE_SCREEN_BUFFER_INFO outInfo{};
    CONSOLE_CURSOR_INFO outCursor{};
    wchar_t title[TITLE_MAX] = {};
    bool titleChanged = false;
    std::wstring text; // characters waiting to be written at the cursor
    WORD attribute = 7;
    bool quiet = false; // a wait for input has just timed out: nothing to read
};

Console& con() {
    static Console* c = [] {
        auto* made = new Console; // never destroyed: the give-back may run during the process's end
        InitializeCriticalSection(&made->changing);
        return made;
    }();
    return *c;
}

// For the length of one change to the console.
struct Changing {
    Changing() { EnterCriticalSection(&con().changing); }
    ~Changing() { LeaveCriticalSection(&con().changing); }
    Changing(const Changing&) = delete;
    Changing& operator=(const Changing&) = delete;
};

COORD cellOf(int row, int col) { return COORD{(SHORT)(col - 1), (SHORT)(row - 1)}; }

bool screenInfo(HANDLE h, CONSOLE_SCREEN_BUFFER_INFO& info) { return GetConsoleScreenBufferInfo(h, &info) != 0; }

// As "mode con" does: the buffer and the window both cols x rows. The window must fit in the
// buffer at every step, so it shrinks first, and grows back once the buffer has its size.
void resizeScreen(HANDLE h, COORD size, SMALL_RECT window) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!screenInfo(h, info)) return;
    SHORT w = std::min<SHORT>(info.srWindow.Right - info.srWindow.Left + 1, size.X);
    SHORT ht = std::min<SHORT>(info.srWindow.Bottom - info.srWindow.Top + 1, size.Y);
    SMALL_RECT small{0, 0, (SHORT)(w - 1), (SHORT)(ht - 1)};
    SetConsoleWindowInfo(h, TRUE, &small);
    SetConsoleScreenBufferSize(h, size);
    SetConsoleWindowInfo(h, TRUE, &window);
}

bool sameSize(const CONSOLE_SCREEN_BUFFER_INFO& a, const CONSOLE_SCREEN_BUFFER_INFO& b) {
    return a.dwSize.X == b.dwSize.X && a.dwSize.Y == b.dwSize.Y && a.srWindow.Left == b.srWindow.Left &&
           a.srWindow.Top == b.srWindow.Top && a.srWindow.Right == b.srWindow.Right &&
           a.srWindow.Bottom == b.srWindow.Bottom;
}

void restore(Console& c) {
    if (c.inputHeld.exchange(false)) SetConsoleMode(c.in, c.inMode);
    // Keys typed for the program must not reach the command prompt.
    FlushConsoleInputBuffer(c.in);
    SetConsoleMode(c.out, c.outMode);
    SetConsoleTextAttribute(c.out, c.outInfo.wAttributes);
    SetConsoleCursorInfo(c.out, &c.outCursor);
    CONSOLE_SCREEN_BUFFER_INFO now;
    if (screenInfo(c.out, now) && !sameSize(now, c.outInfo)) resizeScreen(c.out, c.outInfo.dwSize, c.outInfo.srWindow);
    if (c.titleChanged) SetConsoleTitleW(c.title);
}

// Everything back as the program found it. Runs once per take, from whichever thread comes first;
// when the process is ending, nothing takes the console again.
void giveBack(bool ending) {
    Console& c = con();
    // A change under way finishes first; but a crash may have come from inside one on another
    // thread, so the wait is short.
    bool entered = false;
    for (int waited = 0; !(entered = TryEnterCriticalSection(&c.changing)) && waited < CHANGE_WAIT_MS; ++waited)
        Sleep(1);
    if (ending) c.ended = true;
    if (c.held.exchange(false)) restore(c);
    if (entered) LeaveCriticalSection(&c.changing);
}

void registerWayOut() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    platform::detail::onExit({[](bool) { giveBack(true); }, [] {}});
}

// Before the program changes anything on the console: what it had is kept for the give-back.
bool take() {
    Console& c = con();
    if (c.ended) return false;
    if (!c.held) {
        // Asked through the terminal in force: the tests may say there is none.
        if (!terminal().device->interactive()) return false;
        c.in = GetStdHandle(STD_INPUT_HANDLE);
        c.out = GetStdHandle(STD_OUTPUT_HANDLE);
        if (!GetConsoleMode(c.in, &c.inMode) || !GetConsoleMode(c.out, &c.outMode) || !screenInfo(c.out, c.outInfo))
            return false;
        GetConsoleCursorInfo(c.out, &c.outCursor);
        c.titleChanged = false;
        c.drawing = false;
        registerWayOut();
        c.held = true;
    }
    if (!c.drawing) {
        SetConsoleMode(c.out, OUTPUT_MODE);
        c.drawing = true;
    }
    return true;
}

void writeText() {
    Console& c = con();
    if (c.text.empty()) return;
    if (!c.held) return c.text.clear(); // given back meanwhile
    DWORD written = 0;
    WriteConsoleW(c.out, c.text.data(), (DWORD)c.text.size(), &written, nullptr);
    c.text.clear();
}

// Before the console's cursor or colour changes: written text first, so that it lands where and how
// it was meant to.
bool ready() {
    if (!take()) return false;
    writeText();
    return true;
}

wchar_t wideOf(uint16_t code) {
    if (code < 0x80) return (wchar_t)code;
    char bytes[2] = {(char)(code >> 8), (char)(code & 0xFF)};
    wchar_t wide = 0;
    if (MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes, 2, &wide, 1) != 1) return 0xFFFD;
    return wide;
}

// ---- input records ---------------------------------------------------------------------------

void typeWide(wchar_t ch) {
    if (ch >= 0xD800 && ch <= 0xDBFF) return; // the first half of a pair: the second one types '?'
    if (ch >= 0xDC00 && ch <= 0xDFFF) return typeByte('?');
    if (ch < 0x80) return typeByte((unsigned char)ch);
    char bytes[4];
    int n = WideCharToMultiByte(936, 0, &ch, 1, bytes, sizeof bytes, "?", nullptr);
    if (n <= 0) return typeByte('?');
    for (int i = 0; i < n; ++i) typeByte((unsigned char)bytes[i]);
}

void keyRecord(const KEY_EVENT_RECORD& key) {
    int vk = key.wVirtualKeyCode & 0xFF;
    noteState(vk, key.bKeyDown != 0);
    wchar_t ch = key.uChar.UnicodeChar;
    // A character typed as Alt and its code on the keypad comes with the release of Alt.
    bool types = key.bKeyDown || (vk == VK_MENU && ch != 0);
    if (!types) return;
    for (int i = 0; i < std::max<int>(key.wRepeatCount, 1); ++i) {
        if (ch != 0) typeWide(ch);
        else typeSpecial(vk);
    }
}

void mouseRecord(const MOUSE_EVENT_RECORD& mouse) {
    pointerAt(mouse.dwMousePosition.Y + 1, mouse.dwMousePosition.X + 1);
    if (mouse.dwEventFlags & (MOUSE_WHEELED | MOUSE_HWHEELED)) return;
    noteState(VK_LBUTTON, (mouse.dwButtonState & FROM_LEFT_1ST_BUTTON_PRESSED) != 0);
}

// Releases that happen while another window has the focus never reach the console.
void focusLost() {
    for (int vk = 0; vk < 256; ++vk) noteState(vk, false);
}

void record(const INPUT_RECORD& r) {
    switch (r.EventType) {
    case KEY_EVENT: return keyRecord(r.Event.KeyEvent);
    case MOUSE_EVENT: return mouseRecord(r.Event.MouseEvent);
    case WINDOW_BUFFER_SIZE_EVENT: return screenResized();
    case FOCUS_EVENT:
        if (!r.Event.FocusEvent.bSetFocus) focusLost();
        return;
    default: return;
    }
}

// ---- the device under the screen model -----------------------------------------------------

bool interactive() {
    // As isatty on both: a program whose input or output is a file, a pipe or nothing at all (no
    // console attached) has no launcher.
    static const bool yes = [] {
        DWORD mode = 0;
        return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) && GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode);
    }();
    return yes;
}

void size(int& rows, int& cols) {
    Changing changing;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!take() || !screenInfo(con().out, info)) return;
    rows = info.dwSize.Y;
    cols = info.dwSize.X;
}

void place(int row, int col) {
    Changing changing;
    if (ready()) SetConsoleCursorPosition(con().out, cellOf(row, col));
}

void attribute(int attribute) {
    Changing changing;
    if (!ready()) return;
    con().attribute = (WORD)attribute;
    SetConsoleTextAttribute(con().out, (WORD)attribute);
}

void character(uint16_t code) {
    Changing changing;
    if (take()) con().text += wideOf(code);
}

void clear(int attribute) {
    Changing changing;
    Console& c = con();
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!ready() || !screenInfo(c.out, info)) return;
    DWORD cells = (DWORD)info.dwSize.X * (DWORD)info.dwSize.Y, done = 0;
    FillConsoleOutputCharacterW(c.out, L' ', cells, COORD{0, 0}, &done);
    FillConsoleOutputAttribute(c.out, (WORD)attribute, cells, COORD{0, 0}, &done);
    c.attribute = (WORD)attribute;
    SetConsoleTextAttribute(c.out, (WORD)attribute);
    SetConsoleCursorPosition(c.out, COORD{0, 0});
}

void scrollUp() {
    Changing changing;
    Console& c = con();
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!ready() || !screenInfo(c.out, info)) return;
    SMALL_RECT all{0, 0, (SHORT)(info.dwSize.X - 1), (SHORT)(info.dwSize.Y - 1)};
    CHAR_INFO blank{};
    blank.Char.UnicodeChar = L' ';
    blank.Attributes = c.attribute;
    ScrollConsoleScreenBufferW(c.out, &all, nullptr, COORD{0, -1}, &blank);
}

void title(const std::string& gbk) {
    Changing changing;
    Console& c = con();
    if (!take()) return;
    std::wstring title;
    for (size_t i = 0; i < gbk.size(); ++i) {
        unsigned char b = (unsigned char)gbk[i];
        title += wideOf(b < 0x80 ? b : (uint16_t)(b << 8 | (unsigned char)gbk[++i]));
    }
    if (!c.titleChanged) {
        // The player's title, to give it back at the end.
        c.title[0] = 0;
        GetConsoleTitleW(c.title, TITLE_MAX);
        c.titleChanged = true;
    }
    SetConsoleTitleW(title.c_str());
}

void resize(int& rows, int& cols) {
    Changing changing;
    Console& c = con();
    if (!ready()) return;
    resizeScreen(c.out, COORD{(SHORT)cols, (SHORT)rows}, SMALL_RECT{0, 0, (SHORT)(cols - 1), (SHORT)(rows - 1)});
    // The console may refuse (a screen too small for the window, a host that sizes it itself):
    // the model takes what it got.
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!screenInfo(c.out, info)) return;
    rows = info.dwSize.Y;
    cols = info.dwSize.X;
}

void cursorVisible(bool visible) {
    Changing changing;
    if (!ready()) return;
    CONSOLE_CURSOR_INFO cursor{1, visible ? TRUE : FALSE};
    SetConsoleCursorInfo(con().out, &cursor);
}

bool cursor(Cell& at) {
    Changing changing;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!ready() || !screenInfo(con().out, info)) return false;
    at = {info.dwCursorPosition.Y + 1, info.dwCursorPosition.X + 1};
    return true;
}

bool flush() {
    Changing changing;
    bool waiting = !con().text.empty();
    writeText();
    return waiting;
}

bool lost() { return false; }

bool erase() {
    Changing changing;
    Console& c = con();
    if (!c.held || !c.drawing) return false;
    clear(c.outInfo.wAttributes);
    return true;
}

// What is printed after the launcher (diagnostics in debug mode) wraps as the console's own
// output does; the model no longer knows what the console shows.
bool endScreen(int) {
    Changing changing;
    Console& c = con();
    if (!c.held || !c.drawing) return false;
    writeText();
    SetConsoleMode(c.out, c.outMode);
    c.drawing = false;
    return true;
}

void reset() {
    giveBack(false);
    con().text.clear();
}

bool beginInput() {
    Changing changing;
    Console& c = con();
    if (!take()) return false;
    if (!SetConsoleMode(c.in, INPUT_MODE)) return false;
    c.inputHeld = true;
    return true;
}

void endInput() {
    Changing changing;
    Console& c = con();
    if (c.inputHeld.exchange(false)) SetConsoleMode(c.in, c.inMode);
}

bool read() {
    Changing changing;
    Console& c = con();
    if (!c.inputHeld) return false;
    // Each question to the console goes through Wine's server and console host: an idle loop that
    // has just waited in vain does not ask again.
    if (c.quiet) {
        c.quiet = false;
        return false;
    }
    DWORD waiting = 0;
    if (!GetNumberOfConsoleInputEvents(c.in, &waiting) || waiting == 0) return false;
    INPUT_RECORD records[READ_AT_ONCE];
    DWORD got = 0;
    if (!ReadConsoleInputW(c.in, records, std::min(waiting, READ_AT_ONCE), &got)) return false;
    for (DWORD i = 0; i < got; ++i) record(records[i]);
    return got > 0;
}

void waitInput(int ms) {
    Console& c = con();
    if (c.inputHeld) c.quiet = WaitForSingleObject(c.in, (DWORD)ms) == WAIT_TIMEOUT;
}

} // namespace

const Device CONSOLE_DEVICE = {interactive, size,      place,  attribute,     character, clear,  scrollUp,
                               title,       resize,    cursorVisible, cursor, flush,     lost,   erase,
                               endScreen,   reset,     beginInput, endInput,  read,      waitInput};

const Terminal SYSTEM_TERMINAL = {&CONSOLE_DEVICE, nullptr};

} // namespace platform::terminal::detail
