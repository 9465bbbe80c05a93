// The ways out in the browser: nothing to catch. No signal reaches a page, and its terminal is
// never given back (it goes with the page).
#include "platform/ways_out.h"

namespace platform::detail {

void installWaysOut() {}

} // namespace platform::detail
