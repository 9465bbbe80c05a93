#include "console_probe.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace console_probe {
namespace {

static_assert(sizeof(Record) == sizeof(INPUT_RECORD));

HANDLE openDevice(const wchar_t* name, BOOL inherit = FALSE) {
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, inherit};
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                       OPEN_EXISTING, 0, nullptr);
}

// The console's buffer as shown now.
struct Shown {
    HANDLE h = openDevice(L"CONOUT$");
    ~Shown() { CloseHandle(h); }
    CONSOLE_SCREEN_BUFFER_INFO info() const {
        CONSOLE_SCREEN_BUFFER_INFO i{};
        GetConsoleScreenBufferInfo(h, &i);
        return i;
    }
};

HANDLE input() { return GetStdHandle(STD_INPUT_HANDLE); }

std::string utf8Of(const wchar_t* wide, int n) {
    std::string out((size_t)n * 3, '\0');
    out.resize((size_t)WideCharToMultiByte(CP_UTF8, 0, wide, n, out.data(), (int)out.size(), nullptr, nullptr));
    return out;
}

std::vector<CHAR_INFO> cells(int row, int col, int count) {
    Shown shown;
    std::vector<CHAR_INFO> out((size_t)count);
    SMALL_RECT area{(SHORT)(col - 1), (SHORT)(row - 1), (SHORT)(col - 2 + count), (SHORT)(row - 1)};
    if (!ReadConsoleOutputW(shown.h, out.data(), COORD{(SHORT)count, 1}, COORD{0, 0}, &area)) return {};
    return out;
}

Record pack(WORD type, const void* event, size_t size) {
    INPUT_RECORD in{};
    in.EventType = type;
    std::memcpy(&in.Event, event, size);
    Record r;
    std::memcpy(r.raw, &in, sizeof in);
    return r;
}

Record key(bool down, int vk, unsigned character, int repeat, DWORD controls = 0) {
    KEY_EVENT_RECORD key{down, (WORD)repeat, (WORD)vk, 0, {(WCHAR)character}, controls};
    return pack(KEY_EVENT, &key, sizeof key);
}

bool usable() {
    Shown shown;
    DWORD mode = 0;
    return GetConsoleMode(shown.h, &mode) && shown.info().dwSize.X > 0;
}

// This test program lets a Ctrl-C meant for the game pass it by. The console sends it to every
// program attached, each on a thread of its own, so this program's copy can arrive after the game
// has ended; it is counted, so that the handler stays until it has come (without the handler the
// system would end this program, silently and with exit code 0).
std::atomic<int> passedBy{0};
BOOL WINAPI passBy(DWORD event) {
    if (event != CTRL_C_EVENT) return FALSE;
    ++passedBy;
    return TRUE;
}

} // namespace

bool openConsole() {
    static const bool open = [] {
        // A console of the test program's own, unless it was started in a usable one.
        if (!usable()) {
            FreeConsole();
            if (!AllocConsole()) return false;
        }
        SetStdHandle(STD_INPUT_HANDLE, openDevice(L"CONIN$"));
        SetStdHandle(STD_OUTPUT_HANDLE, openDevice(L"CONOUT$"));
        return inputMode() != 0 && usable();
    }();
    return open;
}

std::string text(int row, int col, int count) {
    std::wstring wide;
    for (const CHAR_INFO& c : cells(row, col, count))
        if (!(c.Attributes & COMMON_LVB_TRAILING_BYTE)) wide += c.Char.UnicodeChar ? c.Char.UnicodeChar : L' ';
    return utf8Of(wide.data(), (int)wide.size());
}

int attribute(int row, int col) {
    std::vector<CHAR_INFO> cell = cells(row, col, 1);
    return cell.empty() ? -1 : cell[0].Attributes & 0xFF;
}

std::string title() {
    wchar_t buffer[1024] = {};
    return utf8Of(buffer, (int)GetConsoleTitleW(buffer, 1024));
}

Cell bufferSize() {
    COORD size = Shown().info().dwSize;
    return {size.Y, size.X};
}

Cell windowSize() {
    SMALL_RECT w = Shown().info().srWindow;
    return {w.Bottom - w.Top + 1, w.Right - w.Left + 1};
}

bool cursorVisible() {
    CONSOLE_CURSOR_INFO cursor{};
    GetConsoleCursorInfo(Shown().h, &cursor);
    return cursor.bVisible != 0;
}

unsigned inputMode() {
    DWORD mode = 0;
    GetConsoleMode(input(), &mode);
    return mode;
}

unsigned outputMode() {
    DWORD mode = 0;
    GetConsoleMode(Shown().h, &mode);
    return mode;
}

std::string state() {
    char line[256];
    Cell buffer = bufferSize(), window = windowSize();
    std::snprintf(line, sizeof line,
                  "title '%s', input %#x, output %#x, colour %#x, cursor %s, buffer %dx%d, window %dx%d",
                  title().c_str(), inputMode(), outputMode(), Shown().info().wAttributes & 0xFF, cursorVisible() ? "shown" : "hidden", buffer.col, buffer.row, window.col, window.row);
    return line;
}

int unreadRecords() {
    DWORD n = 0;
    GetNumberOfConsoleInputEvents(input(), &n);
    return (int)n;
}

bool waitFor(const std::function<bool()>& ready, int ms) {
    for (int waited = 0; !ready(); waited += 20) {
        if (waited >= ms) return false;
        Sleep(20);
    }
    return true;
}

void resize(int rows, int cols) {
    Shown shown;
    SMALL_RECT small{0, 0, 0, 0}, all{0, 0, (SHORT)(cols - 1), (SHORT)(rows - 1)};
    SetConsoleWindowInfo(shown.h, TRUE, &small);
    SetConsoleScreenBufferSize(shown.h, COORD{(SHORT)cols, (SHORT)rows});
    SetConsoleWindowInfo(shown.h, TRUE, &all);
}

void blank() {
    Shown shown;
    COORD size = shown.info().dwSize;
    DWORD n = 0;
    FillConsoleOutputCharacterW(shown.h, L' ', (DWORD)size.X * size.Y, COORD{0, 0}, &n);
    FillConsoleOutputAttribute(shown.h, 0x07, (DWORD)size.X * size.Y, COORD{0, 0}, &n);
    SetConsoleTextAttribute(shown.h, 0x07);
}

void setTitle(const std::string& ascii) { SetConsoleTitleA(ascii.c_str()); }

Record keyDown(int vk, unsigned character, int repeat) { return key(true, vk, character, repeat); }

Record keyUp(int vk, unsigned character) { return key(false, vk, character, 1); }

Record mouseAt(int row, int col, unsigned buttons, unsigned flags) {
    MOUSE_EVENT_RECORD mouse{{(SHORT)(col - 1), (SHORT)(row - 1)}, buttons, 0, flags};
    return pack(MOUSE_EVENT, &mouse, sizeof mouse);
}

Record resized() {
    WINDOW_BUFFER_SIZE_RECORD size{Shown().info().dwSize};
    return pack(WINDOW_BUFFER_SIZE_EVENT, &size, sizeof size);
}

Record focusLost() {
    FOCUS_EVENT_RECORD focus{FALSE};
    return pack(FOCUS_EVENT, &focus, sizeof focus);
}

void send(const std::vector<Record>& records) {
    DWORD written = 0;
    if (!records.empty())
        WriteConsoleInputW(input(), reinterpret_cast<const INPUT_RECORD*>(records.data()), (DWORD)records.size(),
                           &written);
}

Game::Game(const std::string& folder) {
    // cardbattle.exe in the build folder, above the folder of the test programs.
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string exe = path;
    for (int up = 0; up < 2; ++up) exe.resize(exe.find_last_of("\\/"));
    exe += "\\cardbattle.exe";
    std::string command = "\"" + exe + "\"";
    STARTUPINFOA start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = openDevice(L"CONIN$", TRUE);
    start.hStdOutput = start.hStdError = openDevice(L"CONOUT$", TRUE);
    PROCESS_INFORMATION info{};
    if (CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &start,
                       &info)) {
        process = info.hProcess;
        id = info.dwProcessId;
        CloseHandle(info.hThread);
    }
    CloseHandle(start.hStdInput);
    CloseHandle(start.hStdOutput);
}

Game::~Game() {
    if (!process) return;
    if (ctrlCTyped) waitFor([] { return passedBy > 0; }, 5000);
    SetConsoleCtrlHandler(passBy, FALSE);
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
}

void Game::typeCtrlC() {
    passedBy = 0;
    ctrlCTyped = true;
    SetConsoleCtrlHandler(passBy, TRUE);
    send({key(true, 'C', 'C' - '@', 1, LEFT_CTRL_PRESSED)});
}

bool Game::windowOpened(int waitMs) {
    auto opened = [this] {
        window = FindWindowW(L"cardbattle", L"cardbattle");
        DWORD owner = 0;
        return window && GetWindowThreadProcessId((HWND)window, &owner) && owner == id;
    };
    return process && waitFor(opened, waitMs);
}

void Game::closeWindow() { PostMessageW((HWND)window, WM_CLOSE, 0, 0); }

long Game::exitCode(int waitMs) {
    DWORD code = 0;
    if (!process || WaitForSingleObject(process, (DWORD)waitMs) != WAIT_OBJECT_0) return -1;
    GetExitCodeProcess(process, &code);
    return (long)code;
}

} // namespace console_probe
