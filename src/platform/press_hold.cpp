#include "platform/press_hold.h"

namespace platform {

namespace {
bool isVirtualKey(int vk) { return vk >= 0 && vk < 256; }
} // namespace

void PressHold::pressed(int vk, long long now) {
    if (isVirtualKey(vk)) heldUntil_[vk] = now + HOLD_MS;
}

bool PressHold::held(int vk, long long now) const { return isVirtualKey(vk) && now < heldUntil_[vk]; }

} // namespace platform
