// Text items and picture buttons of the graphics window.
#pragma once

#include <string>

#include "render/surface.h"

class Game;

class EText {
public:
    std::string txt;
    COLORREF col;
    int x, y; // centre of the box relative to the point given to print
    int w, h;
    bool isBold;

    EText(std::string _txt, COLORREF _col, bool _isBold, int _x, int _y, int _w, int _h);
    void print(Game* game, int dx, int dy);
};

class EButton {
public:
    int x, y;
    int w, h; // w: the picture's vertical size, h: its horizontal size (reference units)
    std::string pid;
    EText txt;

    EButton(int _x, int _y, std::string _pid);
    void init(Game* game, std::string _txt, COLORREF col, bool isBold, int sx, int sy, int sw, int sh);
    void show(Game* game);
    bool preserve(Game* game);
};
