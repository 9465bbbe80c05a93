// What the page offers the program (web/glue.js, over web/page.js): the terminal, the canvas and
// its input, the browser's text drawing. Internal to the browser's platform files.
#pragma once

#include <cstdint>

namespace platform::web {

// What the page queues for the window, in the order it happened (the codes are those of page.js).
enum EventType : int {
    POINTER_MOVED = 1, // x, y: the pointer in the canvas's device pixels
    BUTTON_DOWN = 2,   // code: the button's virtual-key code (a touch is the left button); x, y
    BUTTON_UP = 3,
    KEY_DOWN = 4, // code: the key's virtual-key code
    KEY_UP = 5,
    FOCUS_LOST = 6, // the page lost the keyboard: whatever was down is up
    RESIZED = 7,    // the canvas lost what it showed (its pixels dropped): the next frame is sent whole
    TAPPED = 8,     // a touch ended on the canvas (its click came as BUTTON_DOWN and BUTTON_UP)
};

struct Event {
    int type = 0;
    int code = 0;
    int x = 0;
    int y = 0;
};

} // namespace platform::web

extern "C" {
// The terminal: bytes as a tty takes them, what was typed or answered since the last read, how
// much of that waits, dropping it, and the size in cells.
void web_terminal_write(const char* bytes, int length);
int web_terminal_read(char* buffer, int capacity);
int web_terminal_pending();
void web_terminal_discard();
void web_terminal_size(int* rows, int* cols);

// The window: opened at the frame's size (0 when the page cannot draw), the part (x, y, width,
// height) of a frame of 0x00RRGGBB pixels that changed since the last one (the canvas has the
// frame's pixels), the canvas's size in pixels, the browser window's size in device pixels, the
// next event (0 when there is none), and whether the page is on a touch screen.
int web_window_open(int width, int height, int keepTerminal);
void web_window_show(const uint32_t* pixels, int width, int height, int x, int y, int changedWidth, int changedHeight);
void web_window_client_size(int* width, int* height);
void web_desktop_size(int* width, int* height);
int web_next_event(platform::web::Event* event);
int web_touch_screen();

// Glyphs: a face by name (UTF-8) and size (-1 when the page has none), its metrics, and a glyph's
// advance with its box (left, top, width, rows relative to the pen on the baseline); when `draw`,
// its coverage is kept for web_glyph_coverage, which copies it (width * rows bytes, 0..255).
int web_face_open(const char* utf8Name, int height, int width, int bold);
void web_face_metrics(int face, int* lineHeight, int* ascent);
void web_face_close(int face);
int web_glyph(int face, int codePoint, int draw, int* box);
void web_glyph_coverage(uint8_t* coverage, int capacity);
}
