// The pace of an animation: its frames keep to its time, whatever drawing and presenting cost.
// Frame k of an animation of `ms` milliseconds in `frames` steps is due at its start plus
// (k + 1) * (ms / frames) (integer milliseconds), read on the platform's clock; after drawing and
// presenting it, only what is left until then is waited, never less than nothing. Where drawing
// takes no time (the headless backend's virtual clock), every wait is the whole share, ms / frames.
#pragma once

class AnimationPace {
public:
    AnimationPace(int ms, int frames);
    // Waits until frame k is due (a wait of 0 when it is late: the system still gets its turn).
    void waitForFrame(int k) const;

private:
    long long start;
    int share; // milliseconds per frame
};
