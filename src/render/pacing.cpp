#include "render/pacing.h"

#include "platform/platform.h"

AnimationPace::AnimationPace(int ms, int frames) : start(platform::nowMs()), share(frames > 0 ? ms / frames : ms) {}

void AnimationPace::waitForFrame(int k) const {
    long long left = start + (long long)(k + 1) * share - platform::nowMs();
    platform::sleepMs(left > 0 ? (int)left : 0);
}
