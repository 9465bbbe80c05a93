// Internal to the headless library: the terminal the tests get, defined by the file the system's
// build takes (the emulated terminal where libvterm is at hand, the system's own elsewhere).
#pragma once

namespace platform::terminal::detail {

// Installs the tests' terminal afresh: the screen model, the input state and the terminal all
// start clean.
void useTestTerminal();

} // namespace platform::terminal::detail
