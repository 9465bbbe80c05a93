// The ways out of the process and back into it, shared by the platform's own files. Whatever holds
// the terminal registers how to give it back and take it again; each system's own file catches
// what ends or stops the process there (signals on Linux) and runs these. They may run inside a
// signal handler, so the hooks are plain functions doing only async-signal-safe work.
#pragma once

namespace platform::detail {

struct Restorer {
    // Gives the terminal back as it was found, before the process ends (ending) or stops.
    void (*restore)(bool ending);
    // Takes it again once the process goes on after a stop.
    void (*resume)();
};

// Registers a restorer (a few at most); the first one sets up the ways out.
void onExit(Restorer restorer);

// Every registered restorer, the last registered first.
void runExitHooks(); // before the process ends: only the first call does anything
void runStopHooks();
void runContinueHooks();

// Defined by each system's own file: from now on, whatever ends or stops the process runs the
// hooks above first.
void installWaysOut();

} // namespace platform::detail
