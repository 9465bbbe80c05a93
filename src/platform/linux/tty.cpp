// The terminal on Linux: the xterm device over a real terminal on standard input and output. The
// give-back's functions run from signal handlers too, so they only use write(), tcsetattr(),
// tcflush() and the process-group calls.
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include "platform/terminal/pipe.h"

namespace platform::terminal::detail {
namespace {

termios saved;
termios raw;
termios quiet;
volatile sig_atomic_t prepared = 0; // saved, raw and quiet hold settings
volatile sig_atomic_t rawOn = 0;

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

void setRaw(bool on) {
    if (!prepared) return;
    if (tcsetattr(STDIN_FILENO, TCSANOW, on ? &raw : &saved) == 0 || !on) rawOn = on;
}

void setQuiet() {
    if (!prepared) return;
    tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    rawOn = 0; // a read would wait for a whole line
}

void discardInput() { tcflush(STDIN_FILENO, TCIFLUSH); }

bool foreground() {
    // A terminal that is not the controlling one has no foreground job to disturb.
    pid_t group = tcgetpgrp(STDIN_FILENO);
    return group < 0 || group == getpgrp();
}

bool interactive() {
    static const bool yes = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
    return yes;
}

bool beginInput() {
    if (!interactive()) return false;
    if (!prepared) {
        if (tcgetattr(STDIN_FILENO, &saved) != 0) return false;
        raw = saved;
        raw.c_iflag &= ~(tcflag_t)(IXON | ICRNL | INLCR | IGNCR | ISTRIP);
        // Ctrl-C and Ctrl-Z stay signals: their handlers give the terminal back.
        raw.c_lflag &= ~(tcflag_t)(ICANON | ECHO | IEXTEN);
        raw.c_cc[VMIN] = 0;
        raw.c_cc[VTIME] = 0;
        quiet = saved;
        quiet.c_lflag &= ~(tcflag_t)(ECHO | ECHONL);
        prepared = 1;
    }
    setRaw(true);
    return rawOn;
}

int read(char* buffer, int capacity) {
    if (!rawOn) return 0;
    ssize_t got = ::read(STDIN_FILENO, buffer, (size_t)capacity);
    return got > 0 ? (int)got : 0;
}

bool waitInput(int ms) {
    if (!rawOn) return false;
    pollfd p{STDIN_FILENO, POLLIN, 0};
    return ::poll(&p, 1, ms) > 0;
}

void size(int& rows, int& cols) {
    winsize w{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &w) == 0 && w.ws_row > 0 && w.ws_col > 0) {
        rows = w.ws_row;
        cols = w.ws_col;
    }
}

const Pipe TTY_PIPE = {writeAll, setRaw, discardInput, foreground, interactive, beginInput, read, waitInput, size, true,
                       setQuiet};

} // namespace

const Terminal SYSTEM_TERMINAL = {&XTERM_DEVICE, &TTY_PIPE};

} // namespace platform::terminal::detail
