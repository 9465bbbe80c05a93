// Text items and picture buttons of the graphics window.
#include "render/easyx_con.h"

#include <iostream>
#include <utility>

#include "game/game.h"
#include "render/assets.h"
#include "render/language.h"

EText::EText(std::string _txt, COLORREF _col, bool _isBold, int _x, int _y, int _w, int _h)
    : txt(std::move(_txt)), col(_col), x(_x), y(_y), w(_w), h(_h), isBold(_isBold) {}

void EText::print(Game* game, int dx, int dy) {
    double r = game->rate;
    settextstyle(h, 0, game->font.c_str());
    settextcolor(col);
    // Each edge is worked out in reference units first and only then scaled, so that boxes laid
    // out next to each other meet on the same pixel.
    RECT rect;
    rect.left = (int)(r * (dx + x - w / 2));
    rect.top = (int)(r * (dy + y - h / 2));
    rect.right = (int)(r * (dx + x + w / 2));
    rect.bottom = (int)(r * (dy + y + h / 2));
    // The letters are always the same size; the box only decides where they go and what is cut.
    LOGFONT f;
    gettextstyle(&f);
    f.lfQuality = ANTIALIASED_QUALITY;
    f.lfHeight = (int)(32 * r);
    f.lfWidth = (int)(16 * r);
    if (isBold) f.lfWeight = 1000;
    settextstyle(&f);
    // The words in the chosen language; in Chinese the text itself, byte for byte.
    drawtext(shownText(game->language, txt).c_str(), &rect, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
}

EButton::EButton(int _x, int _y, std::string _pid)
    : x(_x), y(_y), w(0), h(0), pid(std::move(_pid)), txt("", 0xFFFFFF, false, 0, 0, 0, 0) {}

void EButton::init(Game* game, std::string _txt, COLORREF col, bool isBold, int sx, int sy, int sw, int sh) {
    auto it = game->pmap.find(pid);
    if (it == game->pmap.end()) {
        // Same report as a missing picture on screen; a button without a picture has no area.
        std::cout << "Fail to find picture id=" << pid << std::endl;
        w = 0;
        h = 0;
    } else {
        w = (int)(it->second->width / game->rate);
        h = (int)(it->second->height / game->rate);
    }
    if (sw == 0) sw = w;
    txt = EText(std::move(_txt), col, isBold, sx, sy, sw, sh);
}

void EButton::show(Game* game) {
    game->printPic(pid, x, y, 0);
    txt.print(game, x + w / 2, y + h / 2);
}

bool EButton::preserve(Game* game) { return press(VK_LBUTTON) && mouseInRect(x, y, w, h, game->rate); }
