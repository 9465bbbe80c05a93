// The game polls its keys and buttons; a quick click or key tap can begin and end between two
// polls. A press therefore counts as held for a short while after it began, so that the next
// poll (the next frame's tests) still sees it. Shared by every native window backend: each one
// reports the presses its system announces, by virtual-key code.
#pragma once

#include <array>

namespace platform {

class PressHold {
public:
    static constexpr long long HOLD_MS = 40;

    // `vk` went down at `now` (milliseconds on any monotonic clock). Codes outside 0..255 are
    // not virtual-key codes and are ignored.
    void pressed(int vk, long long now);
    // Whether a press of `vk` began less than HOLD_MS before `now`.
    bool held(int vk, long long now) const;

private:
    std::array<long long, 256> heldUntil_{};
};

} // namespace platform
