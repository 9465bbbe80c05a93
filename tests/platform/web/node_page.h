// What the browser build's tests under Node can do to the stand-in page (tests/web/node_page.js,
// node_page_hooks.js): the player's input, the canvas's and browser window's sizes, and what the
// program showed and saved.
#pragma once

#include <cstdint>

extern "C" {
void node_page_event(int type, int code, int x, int y);
void node_page_set_client_size(int width, int height);
void node_page_set_desktop_size(int width, int height);
void node_page_type(const char* bytes, int length);
int node_page_terminal_pending();
// How many frames were sent; the part of the last one sent into part[4] (x, y, width, height) and
// its pixel at pixelIndex into *pixel.
int node_page_shown(int* part, int pixelIndex, uint32_t* pixel);
// Whether a window was opened; its width, height and keepTerminal into size[3].
int node_page_window_opened(int* size);
int node_page_storage_saves();
}
