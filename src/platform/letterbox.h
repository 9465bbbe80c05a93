// A frame of fixed size shown in a window of any size: scaled as large as fits with its aspect
// kept, centred, black bars on the rest. The pointer is mapped back through the same placement,
// so that a click lands on the frame pixel drawn under it. Shared by every native window backend.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace platform {

// Where the frame is drawn, in window pixels. Empty (width or height 0) when nothing of the frame
// can be shown, such as in a minimised window.
struct Placement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

Placement fitFrame(Point frame, Point window);

// The client area a window opens with: the frame's size when it fits `room` (or the room is not
// known: a side of 0), otherwise the largest size of the frame's aspect within it.
Point windowFor(Point frame, Point room);

// Window pixel -> the frame pixel drawn there. Pixels on the bars or outside the window map
// outside the frame (negative, or at least the frame's size), on the side they lie. With an
// empty placement every pixel is outside: (-1, -1).
Point windowToFrame(const Placement& at, Point frame, Point windowPixel);
// Frame pixel -> a window pixel showing it (the middle of its footprint when enlarged).
Point frameToWindow(const Placement& at, Point frame, Point framePixel);

// Draws frames (0x00RRGGBB, row after row) into a window buffer of the same pixel layout,
// letterboxed: each window pixel shows the frame pixel windowToFrame gives for it, the bars are
// black. Keeps the column table of the last sizes it drew.
class LetterboxScaler {
public:
    // `pitch`: pixels from one window row to the next.
    void draw(const uint32_t* frame, Point frameSize, uint32_t* window, int pitch, Point windowSize);

private:
    Point frame_{}, window_{};
    Placement at_{};
    std::vector<int> columns_; // frame column of each drawn window column
    std::vector<int> rows_;    // frame row of each drawn window row
    void prepare(Point frame, Point window);
};

} // namespace platform
