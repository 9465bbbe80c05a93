// Opens the real window, presents one frame of a known colour, then waits to be closed.
#include <cstdio>

#include "render/surface.h"
#include "render/surface_internal.h"

int main() {
    initgraph(320, 200, 0);
    BeginBatchDraw();
    IMAGE frame(320, 200);
    for (uint32_t& p : frame.surface.pixels) p = 0x20C040;
    for (int y = 50; y < 100; ++y)
        for (int x = 100; x < 200; ++x) frame.surface.pixels[y * 320 + x] = 0xC02040;
    computeKeyedRuns(frame.surface, KEY_COLOUR);
    TransparentBlt(GetImageHDC(nullptr), 0, 0, 320, 200, GetImageHDC(&frame), 0, 0, 320, 200, KEY_COLOUR);
    FlushBatchDraw();
    std::printf("presented\n");
    std::fflush(stdout);
    // Only closing the window ends this loop (the program exits with code 0 from inside a sleep).
    for (int i = 0; i < 3000; ++i) Sleep(10);
    return 3;
}
