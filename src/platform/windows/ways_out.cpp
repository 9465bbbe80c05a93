// The ways out on Windows. Ctrl-C, Ctrl-Break, closing the console window, logging off and shutting
// down arrive as console control events, each on a thread of its own; a crash arrives at the
// unhandled-exception filter on the thread that crashed. Both give the console back before the
// process ends the way it would have ended without them.
#include "platform/ways_out.h"

#include <windows.h>

namespace platform::detail {
namespace {

// How long a control event waits for another thread that is giving the console back already
// (the window was closed a moment before, say), before the system ends the process.
constexpr int GIVE_BACK_WAIT_MS = 2000;

BOOL WINAPI onControlEvent(DWORD) {
    runExitHooks();
    for (int waited = 0; !exitHooksDone() && waited < GIVE_BACK_WAIT_MS; waited += 10) Sleep(10);
    return FALSE; // on to the system's handler, which ends the process
}

LONG WINAPI onCrash(EXCEPTION_POINTERS*) {
    // Never waits: the crash may have come from inside the give-back itself.
    runExitHooks();
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

void installWaysOut() {
    SetConsoleCtrlHandler(onControlEvent, TRUE);
    SetUnhandledExceptionFilter(onCrash);
}

} // namespace platform::detail
