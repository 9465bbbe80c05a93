#include "win32_console_probe.h"

#include <windows.h>

namespace console_probe {
namespace {

HANDLE openDevice(const wchar_t* name) {
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       0, nullptr);
}

// The console's buffer as shown now.
struct Shown {
    HANDLE h = openDevice(L"CONOUT$");
    ~Shown() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

HANDLE input() { return GetStdHandle(STD_INPUT_HANDLE); }

CONSOLE_SCREEN_BUFFER_INFO infoOf(HANDLE h) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(h, &info);
    return info;
}

std::string utf8Of(const std::wstring& wide) {
    if (wide.empty()) return "";
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
    std::string out((size_t)n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring wideOf(const std::string& utf8) {
    if (utf8.empty()) return L"";
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), nullptr, 0);
    std::wstring out((size_t)n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), out.data(), n);
    return out;
}

std::vector<CHAR_INFO> cells(HANDLE h, int row, int col, int count) {
    std::vector<CHAR_INFO> out((size_t)count);
    SMALL_RECT area{(SHORT)(col - 1), (SHORT)(row - 1), (SHORT)(col - 2 + count), (SHORT)(row - 1)};
    if (!ReadConsoleOutputW(h, out.data(), COORD{(SHORT)count, 1}, COORD{0, 0}, &area)) return {};
    return out;
}

std::string textOf(HANDLE h, int row, int col, int count) {
    std::wstring wide;
    for (const CHAR_INFO& c : cells(h, row, col, count))
        if (!(c.Attributes & COMMON_LVB_TRAILING_BYTE)) wide += c.Char.UnicodeChar ? c.Char.UnicodeChar : L' ';
    return utf8Of(wide);
}

INPUT_RECORD toInput(const Record& r) {
    INPUT_RECORD in{};
    switch (r.kind) {
    case Record::KEY:
        in.EventType = KEY_EVENT;
        in.Event.KeyEvent.bKeyDown = r.down;
        in.Event.KeyEvent.wRepeatCount = (WORD)r.repeat;
        in.Event.KeyEvent.wVirtualKeyCode = (WORD)r.vk;
        in.Event.KeyEvent.wVirtualScanCode = (WORD)MapVirtualKeyW((UINT)r.vk, MAPVK_VK_TO_VSC);
        in.Event.KeyEvent.uChar.UnicodeChar = (WCHAR)r.character;
        break;
    case Record::MOUSE:
        in.EventType = MOUSE_EVENT;
        in.Event.MouseEvent.dwMousePosition = COORD{(SHORT)(r.col - 1), (SHORT)(r.row - 1)};
        in.Event.MouseEvent.dwButtonState = r.buttons;
        in.Event.MouseEvent.dwEventFlags = r.flags;
        break;
    case Record::RESIZE: {
        Shown shown;
        in.EventType = WINDOW_BUFFER_SIZE_EVENT;
        in.Event.WindowBufferSizeEvent.dwSize = infoOf(shown.h).dwSize;
        break;
    }
    case Record::FOCUS:
        in.EventType = FOCUS_EVENT;
        in.Event.FocusEvent.bSetFocus = r.gained;
        break;
    }
    return in;
}

bool usable() {
    Shown shown;
    DWORD mode = 0;
    return GetConsoleMode(shown.h, &mode) && infoOf(shown.h).dwSize.X > 0;
}

} // namespace

bool openConsole() {
    static const bool open = [] {
        // A console of the test program's own, unless it was started in a usable one.
        if (!usable()) {
            FreeConsole();
            if (!AllocConsole()) return false;
        }
        // Whatever the test program was started with, its standard handles are the new console.
        SetStdHandle(STD_INPUT_HANDLE, openDevice(L"CONIN$"));
        SetStdHandle(STD_OUTPUT_HANDLE, openDevice(L"CONOUT$"));
        DWORD mode = 0;
        return GetConsoleMode(input(), &mode) && usable();
    }();
    return open;
}

std::string text(int row, int col, int count) {
    Shown shown;
    return textOf(shown.h, row, col, count);
}

int attribute(int row, int col) {
    Shown shown;
    std::vector<CHAR_INFO> cell = cells(shown.h, row, col, 1);
    return cell.empty() ? -1 : cell[0].Attributes & 0xFF;
}

std::string title() {
    wchar_t buffer[1024] = {};
    GetConsoleTitleW(buffer, 1024);
    return utf8Of(buffer);
}

Cell bufferSize() {
    Shown shown;
    COORD size = infoOf(shown.h).dwSize;
    return {size.Y, size.X};
}

Cell windowSize() {
    Shown shown;
    SMALL_RECT w = infoOf(shown.h).srWindow;
    return {w.Bottom - w.Top + 1, w.Right - w.Left + 1};
}

Cell cursorCell() {
    Shown shown;
    COORD at = infoOf(shown.h).dwCursorPosition;
    return {at.Y + 1, at.X + 1};
}

bool cursorVisible() {
    Shown shown;
    CONSOLE_CURSOR_INFO cursor{};
    GetConsoleCursorInfo(shown.h, &cursor);
    return cursor.bVisible != 0;
}

int cursorSize() {
    Shown shown;
    CONSOLE_CURSOR_INFO cursor{};
    GetConsoleCursorInfo(shown.h, &cursor);
    return (int)cursor.dwSize;
}

unsigned inputMode() {
    DWORD mode = 0;
    GetConsoleMode(input(), &mode);
    return mode;
}

unsigned outputMode() {
    Shown shown;
    DWORD mode = 0;
    GetConsoleMode(shown.h, &mode);
    return mode;
}

int textAttribute() {
    Shown shown;
    return infoOf(shown.h).wAttributes & 0xFF;
}

int unreadRecords() {
    DWORD n = 0;
    GetNumberOfConsoleInputEvents(input(), &n);
    return (int)n;
}

void resize(int rows, int cols) {
    Shown shown;
    SMALL_RECT small{0, 0, 0, 0};
    SetConsoleWindowInfo(shown.h, TRUE, &small);
    SetConsoleScreenBufferSize(shown.h, COORD{(SHORT)cols, (SHORT)rows});
    SMALL_RECT all{0, 0, (SHORT)(cols - 1), (SHORT)(rows - 1)};
    SetConsoleWindowInfo(shown.h, TRUE, &all);
}

void blank() {
    Shown shown;
    COORD size = infoOf(shown.h).dwSize;
    DWORD n = 0;
    FillConsoleOutputCharacterW(shown.h, L' ', (DWORD)size.X * size.Y, COORD{0, 0}, &n);
    FillConsoleOutputAttribute(shown.h, 7, (DWORD)size.X * size.Y, COORD{0, 0}, &n);
}

void setTitle(const std::string& utf8) { SetConsoleTitleW(wideOf(utf8).c_str()); }

void setTextAttribute(int attribute) {
    Shown shown;
    SetConsoleTextAttribute(shown.h, (WORD)attribute);
}

void write(int row, int col, const std::string& utf8) {
    Shown shown;
    std::wstring wide = wideOf(utf8);
    DWORD n = 0;
    WriteConsoleOutputCharacterW(shown.h, wide.data(), (DWORD)wide.size(), COORD{(SHORT)(col - 1), (SHORT)(row - 1)}, &n);
}

namespace {

// cardbattle.exe in the build folder, above the folder of the test programs.
std::wstring gameProgram() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    for (int up = 0; up < 2; ++up) p = p.substr(0, p.find_last_of(L"\\/"));
    return p + L"\\cardbattle.exe";
}

// This test program lets a Ctrl-C meant for the game pass it by.
BOOL WINAPI passBy(DWORD event) { return event == CTRL_C_EVENT; }

HANDLE inheritable(HANDLE h) {
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), h, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS);
    return copy;
}

} // namespace

Game::Game(const std::string& folder) {
    std::wstring exe = gameProgram();
    std::wstring command = L"\"" + exe + L"\"";
    std::wstring dir = wideOf(folder);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = inheritable(GetStdHandle(STD_INPUT_HANDLE));
    start.hStdOutput = inheritable(GetStdHandle(STD_OUTPUT_HANDLE));
    start.hStdError = inheritable(GetStdHandle(STD_OUTPUT_HANDLE));
    PROCESS_INFORMATION info{};
    if (CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       dir.c_str(), &start, &info)) {
        process = info.hProcess;
        id = info.dwProcessId;
        CloseHandle(info.hThread);
    }
    for (HANDLE h : {start.hStdInput, start.hStdOutput, start.hStdError}) CloseHandle(h);
}

Game::~Game() {
    if (!process) return;
    SetConsoleCtrlHandler(passBy, FALSE);
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
}

bool Game::started() const { return process != nullptr; }

void Game::typeCtrlC() {
    SetConsoleCtrlHandler(passBy, TRUE);
    INPUT_RECORD key{};
    key.EventType = KEY_EVENT;
    key.Event.KeyEvent.bKeyDown = TRUE;
    key.Event.KeyEvent.wRepeatCount = 1;
    key.Event.KeyEvent.wVirtualKeyCode = 'C';
    key.Event.KeyEvent.uChar.UnicodeChar = 'C' - '@';
    key.Event.KeyEvent.dwControlKeyState = LEFT_CTRL_PRESSED;
    DWORD written = 0;
    WriteConsoleInputW(input(), &key, 1, &written);
}

bool Game::closeWindow(int waitMs) {
    for (int waited = 0; process && waited < waitMs; waited += 20) {
        HWND window = FindWindowW(L"cardbattle", L"cardbattle");
        DWORD owner = 0;
        if (window && GetWindowThreadProcessId(window, &owner) && owner == id)
            return PostMessageW(window, WM_CLOSE, 0, 0);
        Sleep(20);
    }
    return false;
}

long Game::exitCode(int waitMs) {
    if (!process || WaitForSingleObject(process, (DWORD)waitMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return (long)code;
}

void sleepReal(int ms) { Sleep((DWORD)ms); }

bool waitForTitle(const std::string& utf8, int waitMs) {
    for (int waited = 0; waited < waitMs; waited += 20) {
        if (title() == utf8) return true;
        Sleep(20);
    }
    return false;
}

Record keyDown(int vk, unsigned character, int repeat) {
    Record r;
    r.vk = vk;
    r.character = character;
    r.repeat = repeat;
    return r;
}

Record keyUp(int vk, unsigned character) {
    Record r = keyDown(vk, character);
    r.down = false;
    return r;
}

Record mouseAt(int row, int col, unsigned buttons, unsigned flags) {
    Record r;
    r.kind = Record::MOUSE;
    r.row = row;
    r.col = col;
    r.buttons = buttons;
    r.flags = flags;
    return r;
}

Record resized() {
    Record r;
    r.kind = Record::RESIZE;
    return r;
}

Record focus(bool gained) {
    Record r;
    r.kind = Record::FOCUS;
    r.gained = gained;
    return r;
}

void send(const std::vector<Record>& records) {
    std::vector<INPUT_RECORD> in;
    for (const Record& r : records) in.push_back(toInput(r));
    DWORD written = 0;
    if (!in.empty()) WriteConsoleInputW(input(), in.data(), (DWORD)in.size(), &written);
}

} // namespace console_probe
