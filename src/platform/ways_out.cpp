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
volatile sig_atomic_t exiting = 0;
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
    if (exiting) return;
    exiting = 1;
    for (int i = restorerCount; i-- > 0;) restorers[i].restore(true);
}

void runStopHooks() {
    if (exiting) return;
    for (int i = restorerCount; i-- > 0;) restorers[i].restore(false);
}

void runContinueHooks() {
    if (exiting) return;
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
