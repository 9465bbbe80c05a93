// A window manager in name only, for the end-to-end tests: it says that a manager runs (the check
// window of the desktop conventions, on the root window and on itself) and then manages nothing,
// so no request of a window, full screen among them, is ever granted. Runs until it is killed.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <initializer_list>

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "idle_manager: no X display\n");
        return 1;
    }
    Window root = DefaultRootWindow(display);
    Window check = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
    Atom supporting = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    for (Window on : {root, check})
        XChangeProperty(display, on, supporting, XA_WINDOW, 32, PropModeReplace, (unsigned char*)&check, 1);
    XSync(display, False);
    std::printf("managing nothing\n");
    std::fflush(stdout);
    for (;;) pause();
}
