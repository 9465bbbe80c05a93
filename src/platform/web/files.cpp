// The program's own file in the browser: the page's file system holds it where an installed game
// has it, so that its pictures are found beside it, in /share/cardbattle/asset.
#include "platform/platform.h"

namespace platform {

std::string executablePath() { return "/bin/cardbattle"; }

} // namespace platform
