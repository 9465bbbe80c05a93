// The graphics surface: the window-library-style drawing API the game is written against.
// One off-screen frame, keyed picture copies, text with DrawText rules, pointer tests.
// Nothing here knows a game class.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/platform.h"
#include "platform/input_names.h"

using COLORREF = uint32_t; // 0x00BBGGRR

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

constexpr int LF_FACESIZE = 32;
struct LOGFONT {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfWeight = 400;
    unsigned char lfQuality = 0;
    char lfFaceName[LF_FACESIZE] = {};
};

constexpr COLORREF WHITE = 0xFFFFFF;
constexpr COLORREF BLACK = 0x000000;
constexpr COLORREF KEY_COLOUR = 0x7F7F7F;
constexpr int EX_SHOWCONSOLE = 1;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr unsigned DT_CENTER = 0x01;
constexpr unsigned DT_VCENTER = 0x04;
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned char ANTIALIASED_QUALITY = 4;
constexpr int VK_LBUTTON = platform::VK_LBUTTON;
constexpr int VK_SPACE = platform::VK_SPACE;

// A drawing surface: 0x00RRGGBB pixels, row after row.
struct Surface {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    // Opaque runs per row, precomputed when a picture is loaded, so keyed copies move blocks:
    // row y's runs are keyedRuns[rowRuns[y]] up to keyedRuns[rowRuns[y + 1]].
    struct Run {
        int x;
        int length;
    };
    std::vector<Run> keyedRuns;
    std::vector<int> rowRuns;
    uint32_t runsKey = KEY_COLOUR;
    bool opaque = false;     // every pixel drawn by a keyed copy (no key pixel at all)
    unsigned generation = 0; // changes whenever the pixels change
};
using HDC = Surface*;

class IMAGE {
public:
    explicit IMAGE(int width = 0, int height = 0);
    int getwidth() const { return surface.width; }
    int getheight() const { return surface.height; }
    Surface surface;
};

// ---- window and frame ----
void initgraph(int width, int height, int flag = 0);
void BeginBatchDraw();
void FlushBatchDraw();
void setbkmode(int mode);

// ---- pictures ----
// Reads a PNG, flattens it over black and resamples it once to exactly width x height, keeping
// the key colour crisp. A missing or undecodable file leaves dst empty and returns false.
bool loadimage(IMAGE* dst, const char* file, int width, int height, bool resize = false);
HDC GetImageHDC(IMAGE* img = nullptr);
void TransparentBlt(HDC dst, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw, int sh,
                    COLORREF key);

// ---- text ----
void settextstyle(int height, int width, const char* face);
void settextstyle(const LOGFONT* in);
void gettextstyle(LOGFONT* out);
void settextcolor(COLORREF c);
void drawtext(const char* text, RECT* r, unsigned format);

// ---- pointer, keys, time ----
void mousepos(POINT& pt);
bool mouseInRect(int x, int y, int h, int w, double rate);
void Sleep(int ms);
