// The ways out on Linux. Every signal whose default action ends the process gives the terminal
// back first and then ends the process the way that signal would (its default disposition back,
// the signal raised again, so the wait status names it). Ctrl-Z (SIGTSTP) gives the terminal back
// before stopping; SIGCONT takes it again. The handlers only run the registered plain functions
// and the calls below, all async-signal-safe.
//
// SIGTTIN and SIGTTOU keep their default (stop, terminal untouched): they only come while the
// process is in the background, when the terminal belongs to another job that has set its own
// modes, and a background launcher must wait for `fg`, whose SIGCONT then takes the terminal.
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "platform/ways_out.h"

namespace platform::detail {
namespace {

// Those with a fixed number; the real-time ones are added at run time, as only then is their
// range known.
constexpr int ENDING[] = {
    SIGHUP,  SIGINT,  SIGQUIT, SIGILL, SIGTRAP, SIGABRT,   SIGBUS,  SIGFPE, SIGUSR1, SIGSEGV, SIGUSR2, SIGPIPE,
    SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,   SIGSYS,
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
};

// A crash from a stack overflow still needs some stack to give the terminal back on.
constexpr size_t ALT_STACK_SIZE = 64 * 1024;
alignas(16) char altStack[ALT_STACK_SIZE];

volatile sig_atomic_t continued = 0;

template <typename Each> void forEachEnding(Each each) {
    for (int sig : ENDING) each(sig);
    for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) each(sig);
}

sigset_t endingSet() {
    sigset_t set;
    sigemptyset(&set);
    forEachEnding([&](int sig) { sigaddset(&set, sig); });
    return set;
}

void setHandler(int sig, void (*handler)(int), const sigset_t& mask, int flags) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_mask = mask;
    action.sa_flags = flags;
    sigaction(sig, &action, nullptr);
}

void setDefault(int sig) {
    sigset_t none;
    sigemptyset(&none);
    setHandler(sig, SIG_DFL, none, 0);
}

void unblock(int sig) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

void endBy(int sig) {
    runExitHooks();
    setDefault(sig);
    unblock(sig);
    raise(sig);
}

void continueBy(int) {
    int savedErrno = errno;
    continued = 1;
    runContinueHooks();
    errno = savedErrno;
}

void stopBy(int sig);

sigset_t stopMask() {
    // Not SIGCONT: its handler takes the terminal back while this one is still waiting to return.
    sigset_t mask = endingSet();
    sigaddset(&mask, SIGTSTP);
    return mask;
}

void stopBy(int sig) {
    int savedErrno = errno;
    runStopHooks();
    continued = 0;
    setDefault(sig);
    raise(sig); // blocked while this handler runs: the stop comes when it is unblocked
    unblock(sig);
    sigset_t mask = stopMask();
    setHandler(sig, stopBy, mask, SA_RESTART);
    // A process group with no shell to continue it is not stopped by SIGTSTP: carry on at once.
    if (!continued) runContinueHooks();
    errno = savedErrno;
}

// A signal ignored by whoever started the process (nohup, a background job) stays ignored.
bool ignoredAtStart(int sig) {
    struct sigaction old {};
    return sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN;
}

} // namespace

void installWaysOut() {
    stack_t stack{};
    stack.ss_sp = altStack;
    stack.ss_size = ALT_STACK_SIZE;
    sigaltstack(&stack, nullptr);

    sigset_t all;
    sigfillset(&all);
    forEachEnding([&](int sig) {
        if (!ignoredAtStart(sig)) setHandler(sig, endBy, all, SA_RESTART | SA_ONSTACK);
    });
    sigset_t mask = stopMask();
    if (!ignoredAtStart(SIGTSTP)) setHandler(SIGTSTP, stopBy, mask, SA_RESTART);
    setHandler(SIGCONT, continueBy, mask, SA_RESTART);
}

} // namespace platform::detail
