// A real terminal on standard input and output: raw mode, and giving everything back on every
// way out. The restore runs from signal handlers too, so it only uses write() and tcsetattr().
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include "platform/platform.h"
#include "platform/terminal_backend.h"

namespace platform::terminal::detail {
namespace {

termios saved;
bool savedValid = false;
volatile sig_atomic_t rawOn = 0;
volatile sig_atomic_t mouseOn = 0;
volatile sig_atomic_t touched = 0;
volatile sig_atomic_t titlePushed = 0;
volatile sig_atomic_t screenRows = 0;
bool hookInstalled = false;

void writeAll(const char* bytes, size_t n) {
    while (n > 0) {
        ssize_t k = ::write(STDOUT_FILENO, bytes, n);
        if (k < 0) {
            if (errno == EINTR) continue;
            return; // the terminal is gone: nothing more to do
        }
        bytes += k;
        n -= (size_t)k;
    }
}

void writeText(const char* text) {
    size_t n = 0;
    while (text[n]) ++n;
    writeAll(text, n);
}

void writeNumber(int value) {
    char digits[12];
    int n = 0;
    do {
        digits[n++] = (char)('0' + value % 10);
        value /= 10;
    } while (value > 0 && n < 11);
    char out[12];
    for (int i = 0; i < n; ++i) out[i] = digits[n - 1 - i];
    writeAll(out, (size_t)n);
}

void restore() {
    if (!touched && !rawOn) return;
    // CAN ends any escape sequence cut short by a signal.
    writeText("\x18");
    if (mouseOn) writeText("\x1b[?1006l\x1b[?1003l");
    writeText("\x1b[0m\x1b[?25h");
    if (titlePushed) writeText("\x1b[23;0t");
    if (rawOn && screenRows > 0) {
        // Interrupted while the launcher was up: leave the prompt below it.
        writeText("\x1b[");
        writeNumber(screenRows);
        writeText(";1H\r\n");
    }
    if (rawOn && savedValid) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    rawOn = 0;
    mouseOn = 0;
    touched = 0;
    titlePushed = 0;
}

void installRestore() {
    if (hookInstalled) return;
    hookInstalled = true;
    platform::onExit(restore);
}

} // namespace

bool ttyInteractive() {
    static const bool yes = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
    return yes;
}

bool ttyBeginInput() {
    if (!ttyInteractive()) return false;
    installRestore();
    if (!savedValid) {
        if (tcgetattr(STDIN_FILENO, &saved) != 0) return false;
        savedValid = true;
    }
    termios raw = saved;
    raw.c_iflag &= ~(tcflag_t)(IXON | ICRNL | INLCR | IGNCR | ISTRIP);
    // Ctrl-C stays a signal (the restore runs from its handler); Ctrl-Z would stop the program with
    // the terminal still raw, so it is only a byte while we hold the terminal.
    raw.c_lflag &= ~(tcflag_t)(ICANON | ECHO | IEXTEN);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    raw.c_cc[VSUSP] = _POSIX_VDISABLE;
    touched = 1;
    mouseOn = 1;
    if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0) {
        mouseOn = 0;
        return false;
    }
    rawOn = 1;
    return true;
}

void ttyEndInput() {
    if (rawOn && savedValid) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    rawOn = 0;
    mouseOn = 0;
}

void ttyTouched(int rows, bool pushed) {
    installRestore();
    touched = 1;
    screenRows = rows;
    if (pushed) titlePushed = 1;
}

void ttyWrite(const std::string& bytes) {
    // What the game printed through stdio comes first.
    std::fflush(stdout);
    writeAll(bytes.data(), bytes.size());
}

int ttyRead(char* buffer, int capacity) {
    // In cooked mode a read would wait for a whole line.
    if (!rawOn) return 0;
    ssize_t got = ::read(STDIN_FILENO, buffer, (size_t)capacity);
    return got > 0 ? (int)got : 0;
}

bool ttyWaitInput(int ms) {
    if (!rawOn) return false;
    pollfd p{STDIN_FILENO, POLLIN, 0};
    return ::poll(&p, 1, ms) > 0;
}

void ttySize(int& rows, int& cols) {
    winsize w{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &w) == 0 && w.ws_row > 0 && w.ws_col > 0) {
        rows = w.ws_row;
        cols = w.ws_col;
    }
}

} // namespace platform::terminal::detail
