#include "platform/letterbox.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

long long floorDiv(long long a, long long b) { // b > 0
    long long q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// Along one axis: the frame coordinate whose pixel covers the middle of window pixel p, and back
// the window pixel nearest the middle of frame pixel f. Middles, not corners, so that enlarging
// and shrinking both pick the nearest pixel and the two directions agree.
int toFrame(int p, int origin, int drawn, int size) {
    return (int)floorDiv((2LL * (p - origin) + 1) * size, 2LL * drawn);
}
int toWindow(int f, int origin, int drawn, int size) {
    return origin + (int)floorDiv((2LL * f + 1) * drawn, 2LL * size);
}

bool empty(const Placement& at) { return at.width <= 0 || at.height <= 0; }

} // namespace

Placement fitFrame(Point frame, Point window) {
    if (frame.x <= 0 || frame.y <= 0 || window.x <= 0 || window.y <= 0) return {};
    Placement at;
    if ((long long)window.x * frame.y <= (long long)window.y * frame.x) {
        // Relatively taller window (or the same shape): full width, bars above and below.
        at.width = window.x;
        at.height = (int)((2LL * frame.y * window.x + frame.x) / (2LL * frame.x));
    } else {
        at.height = window.y;
        at.width = (int)((2LL * frame.x * window.y + frame.y) / (2LL * frame.y));
    }
    if (empty(at)) return {};
    at.x = (window.x - at.width) / 2;
    at.y = (window.y - at.height) / 2;
    return at;
}

Point windowFor(Point frame, Point room) {
    if (room.x <= 0 || room.y <= 0 || (frame.x <= room.x && frame.y <= room.y)) return frame;
    Placement at = fitFrame(frame, room);
    if (empty(at)) return frame;
    return {at.width, at.height};
}

Point windowToFrame(const Placement& at, Point frame, Point p) {
    if (empty(at)) return {-1, -1};
    return {toFrame(p.x, at.x, at.width, frame.x), toFrame(p.y, at.y, at.height, frame.y)};
}

Point frameToWindow(const Placement& at, Point frame, Point f) {
    if (empty(at) || frame.x <= 0 || frame.y <= 0) return {-1, -1};
    return {toWindow(f.x, at.x, at.width, frame.x), toWindow(f.y, at.y, at.height, frame.y)};
}

void LetterboxScaler::prepare(Point frame, Point window) {
    if (frame.x == frame_.x && frame.y == frame_.y && window.x == window_.x && window.y == window_.y) return;
    frame_ = frame;
    window_ = window;
    at_ = fitFrame(frame, window);
    columns_.resize(std::max(at_.width, 0));
    rows_.resize(std::max(at_.height, 0));
    for (int i = 0; i < at_.width; ++i) columns_[i] = toFrame(at_.x + i, at_.x, at_.width, frame.x);
    for (int i = 0; i < at_.height; ++i) rows_[i] = toFrame(at_.y + i, at_.y, at_.height, frame.y);
}

void LetterboxScaler::draw(const uint32_t* frame, Point frameSize, uint32_t* window, int pitch, Point windowSize) {
    prepare(frameSize, windowSize);
    const Placement& at = at_;
    for (int y = 0; y < windowSize.y; ++y) {
        uint32_t* row = window + (size_t)y * pitch;
        int i = y - at.y;
        if (i < 0 || i >= at.height) {
            std::fill(row, row + windowSize.x, 0u);
            continue;
        }
        std::fill(row, row + at.x, 0u);
        std::fill(row + at.x + at.width, row + windowSize.x, 0u);
        uint32_t* out = row + at.x;
        if (i > 0 && rows_[i] == rows_[i - 1]) {
            // An enlarged frame row drawn again: copy the window row above.
            std::memcpy(out, out - pitch, (size_t)at.width * 4);
            continue;
        }
        const uint32_t* in = frame + (size_t)rows_[i] * frameSize.x;
        if (at.width == frameSize.x) {
            std::memcpy(out, in, (size_t)at.width * 4);
            continue;
        }
        const int* column = columns_.data();
        for (int k = 0; k < at.width; ++k) out[k] = in[column[k]];
    }
}

} // namespace platform
