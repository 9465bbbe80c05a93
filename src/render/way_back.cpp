#include "render/way_back.h"

#include "platform/platform.h"
#include "render/surface.h"

const char* backPrompt() {
    return platform::touchScreen() ? "轻触或按空格键返回……" : "按空格键返回……";
}

void waitForBack() {
    platform::tapped();
    while (!press(VK_SPACE) && !platform::tapped()) {
    }
}
