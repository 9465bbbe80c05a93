// The battle screen: one complete frame, drawn from scratch on every call, and the movement
// animation, which redraws it at every step.
#include <string>

#include "card/card.h"
#include "game/game.h"
#include "render/easyx_con.h"
#include "render/language.h"
#include "render/pacing.h"
#include "render/surface.h"

namespace {

constexpr int LEFT_MIDDLE = 3, CENTRE = 4, BOTTOM_LEFT = 6;

// Screen texts are white and bold, in a box of w x h centred on (cx, cy).
void screenText(Game* game, const std::string& text, int cx, int cy, int w) {
    EText(text, WHITE, true, cx, cy, w, 32).print(game, 0, 0);
}

std::string manaText(int now, int max) { return std::to_string(now) + "/" + std::to_string(max); }

// A label and a number: the label alone is game text, shown in the chosen language.
std::string countText(Game* game, const std::string& label, size_t count) {
    return shownText(game->language, label) + std::to_string(count);
}

// The click pattern of the screen's own button.
bool buttonClicked(Game* game) {
    if (!press(VK_LBUTTON) || !mouseInRect(1132, 448, 64, 178, game->rate)) return false;
    while (press(VK_LBUTTON)) {
    }
    return true;
}

void drawTurnButton(Game* game, Battle& battle) {
    if (game->status == CHANGECARD) {
        game->printPic("ec", 1132, 512, LEFT_MIDDLE);
        if (buttonClicked(game)) game->status = DISABLE; // the opening exchange is over
    } else if (battle.nowTurn) {
        game->printPic("ot", 1132, 512, LEFT_MIDDLE);
    } else if (game->status == FREE) {
        game->printPic("et", 1132, 512, LEFT_MIDDLE);
        if (buttonClicked(game)) battle.nowTurn = true;
    }
    // Otherwise a choice or an animation is under way: no button, nothing to click.
}

void drawMana(Game* game, const Battle& battle) {
    for (int i = 1; i <= battle.mySpMax; ++i)
        game->printPic(i <= battle.mySp ? "sp" : "sp_x", 24, 700 - 55 * i, BOTTOM_LEFT);
    screenText(game, manaText(battle.mySp, battle.mySpMax), 48, 690, 128);
    game->printPic("sp", 910, 100, CENTRE);
    EText(manaText(battle.opSp, battle.opSpMax), WHITE, true, 96, 0, 128, 32).print(game, 910, 100);
}

void drawPiles(Game* game, const Battle& battle) {
    game->printPic("card", 1142, 720, 0);
    screenText(game, countText(game, "×", battle.myDeck.size()), 1270, 810, 128);
    game->printPic("card", 1142, 188, 0);
    screenText(game, countText(game, "×", battle.opDeck.size()), 1270, 278, 128);
    game->printPic("card", 76, 50, 0);
    screenText(game, countText(game, "对手手牌×", battle.opCard.size()), 278, 105, 212);
}

} // namespace

void Battle::printBattle(Game* game, bool canFlush) {
    if (game->gameEnd) return;
    game->printPic("bg", 0, 0, 0);
    drawTurnButton(game, *this);
    drawMana(game, *this);
    drawPiles(game, *this);
    // Clicks below may play cards, strike and redraw the whole screen before this call goes on,
    // so every slot and the hand's size are read afresh at each step. A strike may also end the
    // match: the end screen has then been shown and dismissed, and the rest of this frame would
    // only scatter the board over it and take clicks for a finished match.
    for (int i = 0; i < 20 && !game->gameEnd; ++i)
        if (c[i]) c[i]->print(game);
    for (int i = 0; i < (int)myCard.size() && !game->gameEnd; ++i)
        if (myCard[i]) myCard[i]->print(game, i);
    if (canFlush && !game->gameEnd) FlushBatchDraw();
}

// A picture sliding from (fx, fy) to (tx, ty) over the battle screen, redrawn at every step, each
// step waiting what is left of its share of the time.
void Game::anime_move(std::string pid, int fx, int fy, int tx, int ty, int tm, int frame, int fmt) {
    if (gameEnd) return;
    if (frame < 1) frame = 1; // a zero step count would divide by zero
    int saved = status;
    status = DISABLE;
    AnimationPace pace(tm, frame);
    for (int i = 0; i <= frame; ++i) {
        int nowx = fx - (fx - tx) * i / frame;
        int nowy = fy - (fy - ty) * i / frame;
        battle.printBattle(this, false);
        printPic(pid, nowx, nowy, fmt);
        FlushBatchDraw();
        pace.waitForFrame(i);
    }
    status = saved;
}
