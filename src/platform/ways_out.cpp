// The ways out, as every system shares them: the table of restorers and quit(). What catches the
// ends and stops of the process lives in each system's own file.
#include "platform/ways_out.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

namespace platform {
namespace detail {
namespace {
// Read from signal handlers: a fixed table of plain functions, each entry filled before it counts.
constexpr int MAX_RESTORERS = 4;
Restorer restorers[MAX_RESTORERS];
volatile sig_atomic_t restorerCount = 0;
// The ways out may be taken on two threads at once (Windows delivers console events on a thread of
// its own): the first to begin the exit hooks runs them, and the others can tell when it is done.
// Lock-free, so signal handlers may use it too.
enum ExitState : int { RUNNING, GIVING_BACK, GIVEN_BACK };
std::atomic<int> exitState{RUNNING};
static_assert(std::atomic<int>::is_always_lock_free);
} // namespace

void onExit(Restorer restorer) {
    if (restorerCount == MAX_RESTORERS) return;
    restorers[restorerCount] = restorer;
    std::atomic_signal_fence(std::memory_order_release);
    restorerCount = restorerCount + 1;
    if (restorerCount > 1) return;
    std::atexit([] { runExitHooks(); });
    installWaysOut();
}

void runExitHooks() {
    int running = RUNNING;
    if (!exitState.compare_exchange_strong(running, GIVING_BACK)) return;
    for (int i = restorerCount; i-- > 0;) restorers[i].restore(true);
    exitState = GIVEN_BACK;
}

bool exitHooksDone() { return exitState == GIVEN_BACK; }

void runStopHooks() {
    if (exitState != RUNNING) return;
    for (int i = restorerCount; i-- > 0;) restorers[i].restore(false);
}

void runContinueHooks() {
    if (exitState != RUNNING) return;
    for (int i = 0; i < restorerCount; ++i) restorers[i].resume();
}

} // namespace detail

void quit(int code) {
    detail::runExitHooks();
    // After the terminal is given back, so that what is still buffered stays readable there.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

} // namespace platform
