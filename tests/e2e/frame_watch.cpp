// Watches a region of a window until its pixels change, then prints the moment (nanoseconds of
// the real-time clock), so that a script can time how soon a click shows on screen. With
// --from-black it waits instead for the region to be shown with something other than black (a
// window that has only just been created may not be shown yet).
// Usage: frame_watch WINDOW X Y WIDTH HEIGHT TIMEOUT_MS [--from-black]
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

std::vector<unsigned long> grab(Display* d, Window w, int x, int y, int width, int height) {
    std::vector<unsigned long> pixels;
    XImage* image = XGetImage(d, w, x, y, width, height, AllPlanes, ZPixmap);
    if (!image) return pixels;
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i) pixels.push_back(XGetPixel(image, i, j));
    XDestroyImage(image);
    return pixels;
}

// A window not shown yet cannot be read: that is an answer (no pixels), not a reason to stop.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }

long long nowNs() {
    timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

} // namespace

int main(int argc, char** argv) {
    bool fromBlack = argc == 8 && std::strcmp(argv[7], "--from-black") == 0;
    if (argc != 7 && !fromBlack) {
        std::fprintf(stderr, "usage: %s WINDOW X Y WIDTH HEIGHT TIMEOUT_MS [--from-black]\n", argv[0]);
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) return 2;
    Window w = (Window)std::strtoul(argv[1], nullptr, 0);
    int x = std::atoi(argv[2]), y = std::atoi(argv[3]), width = std::atoi(argv[4]), height = std::atoi(argv[5]);
    long long deadline = nowNs() + std::atoll(argv[6]) * 1000000LL;
    XSetErrorHandler(ignoreErrors);
    std::vector<unsigned long> first =
        fromBlack ? std::vector<unsigned long>((size_t)width * height, 0) : grab(d, w, x, y, width, height);
    std::printf("watching\n");
    std::fflush(stdout);
    while (nowNs() < deadline) {
        std::vector<unsigned long> now = grab(d, w, x, y, width, height);
        if (!now.empty() && now != first) {
            std::printf("%lld\n", nowNs());
            return 0;
        }
        timespec pause{0, 1000000};
        nanosleep(&pause, nullptr);
    }
    return 1;
}
