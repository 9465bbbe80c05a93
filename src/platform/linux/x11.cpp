#include "platform/linux/x11.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace platform::detail {
namespace {

struct X11Window {
    Display* display = nullptr;
    ::Window window = 0;
};

bool x11Window(SDL_Window* window, X11Window& out) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    out = {info.info.x11.display, info.info.x11.window};
    return true;
}

// A property holding one window, or 0.
::Window windowProperty(Display* display, ::Window of, Atom property) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    ::Window found = 0;
    if (XGetWindowProperty(display, of, property, 0, 1, False, XA_WINDOW, &type, &format, &count, &after, &data) ==
            Success &&
        type == XA_WINDOW && format == 32 && count == 1)
        found = (::Window)*reinterpret_cast<unsigned long*>(data);
    if (data) XFree(data);
    return found;
}

int ignoreErrors(Display*, XErrorEvent*) { return 0; }

} // namespace

// The manager names a window of its own on the root window, and that window names itself; a
// manager that has died leaves the root's property behind, naming a window that is gone (asking it
// is an error, which must not reach SDL's handler).
bool windowManagerRuns(SDL_Window* window) {
    X11Window x;
    if (!x11Window(window, x)) return true;
    Atom check = XInternAtom(x.display, "_NET_SUPPORTING_WM_CHECK", False);
    ::Window manager = windowProperty(x.display, DefaultRootWindow(x.display), check);
    if (!manager) return false;
    XSync(x.display, False);
    XErrorHandler previous = XSetErrorHandler(ignoreErrors);
    ::Window named = windowProperty(x.display, manager, check);
    XSync(x.display, False);
    XSetErrorHandler(previous);
    return named == manager;
}

bool sizeOnScreen(SDL_Window* window, Point& size) {
    X11Window x;
    XWindowAttributes attributes;
    if (!x11Window(window, x) || !XGetWindowAttributes(x.display, x.window, &attributes)) return false;
    size = {attributes.width, attributes.height};
    return true;
}

} // namespace platform::detail
