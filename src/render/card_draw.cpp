// Drawing of hand cards and board characters, and the clicks they take while drawn.
//
// Every clickable element follows one pattern: the left button found down while the pointer is in
// its box means a click; the element then waits, drawing nothing, until the button is released
// and acts once. The action runs inside the frame, so the rest of the frame sees the new state.
#include <string>

#include "card/card.h"
#include "game/game.h"
#include "render/easyx_con.h"
#include "render/layout.h"
#include "render/surface.h"

namespace {

constexpr COLORREF DAMAGED_RED = 0x4040FF;
constexpr int LARGE_X = 1130, LARGE_Y = 114;

// Anchor codes of Game::printPic.
constexpr int TOP_LEFT = 0, CENTRE = 4, BOTTOM_MIDDLE = 7;

const char* const rarityPid[4] = {"card_com", "card_rare", "card_epic", "card_len"};

// A rarity outside the table has no frame rather than reading past it.
const char* rarityFrame(int rarity) { return rarity >= 0 && rarity < 4 ? rarityPid[rarity] : nullptr; }

void drawFrame(Game* game, int rarity, const char* suffix, int x, int y) {
    if (const char* frame = rarityFrame(rarity)) game->printPic(std::string(frame) + suffix, x, y, TOP_LEFT);
}

bool hovered(Game* game, int x, int y, int side) { return mouseInRect(x, y, side, side, game->rate); }

// The click pattern: true once the press that began over the element has been released.
bool clicked(bool over) {
    if (!over || !press(VK_LBUTTON)) return false;
    while (press(VK_LBUTTON)) {
    }
    return true;
}

// Every text on cards and characters is bold, in a box centred on (cx, cy).
void label(Game* game, const std::string& text, COLORREF colour, int cx, int cy, int w, int h) {
    EText(text, colour, true, cx, cy, w, h).print(game, 0, 0);
}

void number(Game* game, int value, COLORREF colour, int cx, int cy) {
    label(game, std::to_string(value), colour, cx, cy, 46, 32);
}

COLORREF healthColour(int now, int max) { return now < max ? DAMAGED_RED : WHITE; }

bool validSlot(int pos) { return pos >= 0 && pos < 20; }

// A card is played from a click only while no other click-started play is running: the redraws
// inside a play (battle cries, strikes) still show the choice markers, and a second press landing
// on one of them would otherwise play again with an index the first play has already moved.
bool playing = false;

struct PlayGuard {
    PlayGuard() { playing = true; }
    ~PlayGuard() { playing = false; }
};

void playChosenCard(Game* game, int slot) {
    int chosen = game->cardChosen;
    if (playing || chosen < 0 || chosen >= (int)game->battle.myCard.size()) return;
    PlayGuard guard;
    game->battle.useCard(game, chosen, slot, false);
}

// The attack of the chosen attacker, unless it has already struck: the redraws inside a strike
// still show the target markers, and a second press there must not make it strike twice.
void attackFromChosen(Game* game, int target) {
    int from = game->atkFrom;
    if (!validSlot(from)) return;
    Character* attacker = game->battle.c[from];
    if (!attacker || !attacker->canAtk(game)) return;
    attacker->attack(game, target, true, true, true, -1);
}

// The step shared by heroes and minions of both sides: a marked character during a target choice
// shows a marker at (mx, my) and takes the click that answers the choice.
void targetStep(Game* game, int pos, bool over, int mx, int my) {
    if (game->status != ATKCARD && game->status != SETTARGET) return;
    if (!game->battle.canAsTarget[pos]) return;
    game->printPic(over ? "cho" : "ava", mx, my, BOTTOM_MIDDLE);
    if (!clicked(over)) return;
    if (game->status == ATKCARD) {
        if (game->atkTo == -2)
            game->atkTo = pos; // a battle cry is waiting for this answer
        else
            attackFromChosen(game, pos);
        game->atkFrom = -1;
    } else {
        playChosenCard(game, pos);
    }
    game->status = FREE;
}

// The large view shared by cards and minions; stats are left out for spells.
struct LargeView {
    const std::string& pid;
    int rarity;
    bool hasStats;
    int atk, hp;
    COLORREF hpColour;
    int spCost;
    const std::string& detail;
    const std::string& name;

    void draw(Game* game, int x, int y) const {
        game->printPic("card_bg_l", x + 32, y + 32, TOP_LEFT);
        game->printPic(pid + "_l", x + 32, y + 32, TOP_LEFT);
        drawFrame(game, rarity, "_l", x, y);
        if (hasStats) {
            game->printPic("atk+", x, y + 494, CENTRE);
            game->printPic("hp+", x + 328, y + 494, CENTRE);
        }
        game->printPic("sp+", x, y, CENTRE);
        if (hasStats) {
            number(game, atk, WHITE, x, y + 494);
            number(game, hp, hpColour, x + 328, y + 494);
        }
        number(game, spCost, WHITE, x, y);
        label(game, detail, BLACK, x + 164, y + 390, 260, 140);
        label(game, name, WHITE, x + 164, y + 520, 330, 32);
    }
};

// The face of a hand card: background, art, frame and cost; attack and health for minions.
void drawHandFace(Game* game, const Card& card, int x, int y, const int* atk, const int* hp) {
    game->printPic("card_bg", x, y, TOP_LEFT);
    game->printPic(card.pid, x, y, TOP_LEFT);
    drawFrame(game, card.rarity, "", x, y);
    game->printPic("sp2", x + 41, y + 142, CENTRE);
    if (atk) {
        game->printPic("atk", x, y + 112, CENTRE);
        game->printPic("hp", x + 82, y + 112, CENTRE);
    }
    number(game, card.spCost, BLACK, x + 41, y + 142);
    if (atk) {
        number(game, *atk, WHITE, x, y + 112);
        number(game, *hp, WHITE, x + 82, y + 112);
    }
}

} // namespace

// ---- hand cards -------------------------------------------------------------------------------

void MinionCard::print(Game* game, int pos) {
    if (pos < 0 || pos > 7) return;
    drawHandFace(game, *this, CardPos[pos].x, CardPos[pos].y, &atk, &hp);
    Card::print(game, pos);
}

void SpellCard::print(Game* game, int pos) {
    if (pos < 0 || pos > 7) return;
    drawHandFace(game, *this, CardPos[pos].x, CardPos[pos].y, nullptr, nullptr);
    Card::print(game, pos);
}

void Card::print(Game* game, int pos) {
    if (pos < 0 || pos > 7) return;
    int x = CardPos[pos].x, y = CardPos[pos].y;
    bool over = hovered(game, x, y, 112);
    if (over) printLarge(game, LARGE_X, LARGE_Y);
    // Markers stand on the card's top edge and show only while the pointer is down in the hand.
    auto inHandStrip = [game] { return mouseInRect(0, 850, 174, 1312, game->rate); };
    auto marker = [&] { game->printPic(over ? "cho" : "ava", x + 41, y, BOTTOM_MIDDLE); };

    switch (game->status) {
    case CHANGECARD:
        if (inHandStrip()) {
            marker();
            if (clicked(over)) changed = !changed;
        }
        if (changed) game->printPic("c_del", x + 41, y + 56, CENTRE);
        break;
    case FREE:
        if (inHandStrip() && canUse(game, false)) {
            marker();
            if (clicked(over)) {
                if (game->isSpell(id)) {
                    setTarget(game);
                    game->status = SETTARGET;
                } else {
                    game->status = USECARD;
                }
                game->cardChosen = pos;
            }
        }
        break;
    case USECARD:
        if (pos == game->cardChosen) {
            game->printPic("set", x + 41, y, BOTTOM_MIDDLE);
            if (clicked(over)) game->status = FREE;
        }
        break;
    default:
        break;
    }
}

void MinionCard::printLarge(Game* game, int x, int y) {
    LargeView{pid, rarity, true, atk, hp, WHITE, spCost, detail, name}.draw(game, x, y);
}

void SpellCard::printLarge(Game* game, int x, int y) {
    LargeView{pid, rarity, false, 0, 0, WHITE, spCost, detail, name}.draw(game, x, y);
}

// ---- board characters -------------------------------------------------------------------------

void Character::print(Game* game) {
    if (pos < 2 || pos > 10 || game->status != USECARD) return;
    int x = CharPos[pos].x, y = CharPos[pos].y;
    bool over = hovered(game, x - 45, y - 45, 90);
    game->printPic(over ? "cho" : "ava", x, y, CENTRE);
    if (clicked(over)) playChosenCard(game, pos);
}

void MainHero::print(Game* game) {
    if (!validSlot(pos)) return;
    int x = CharPos[pos].x, y = CharPos[pos].y;
    game->printPic(pid, x, y, CENTRE);
    game->printPic("hp+", x + 40, y + 40, CENTRE);
    label(game, std::to_string(nowhp), healthColour(nowhp, hp), x + 40, y + 40, 40, 32);
    targetStep(game, pos, hovered(game, x - 84, y - 84, 168), x, y - 60);
}

void Minion::print(Game* game) {
    if (!validSlot(pos)) return;
    int x = CharPos[pos].x, y = CharPos[pos].y;
    if (special & TAUNT) game->printPic("taunt", x, y, CENTRE);
    game->printPic(rarity == 3 ? "min_g" : "min_n", x, y, CENTRE);
    game->printPic(rarity == 3 ? "min_gi" : "min_ni", x, y, CENTRE);
    game->printPic(pid, x, y, CENTRE);
    if (special & REVIVE) game->printPic("revive", x, y, CENTRE);
    if (special & SHIELD) game->printPic("shield", x, y, CENTRE);
    if (special & IMMUNE) game->printPic("immune", x, y, CENTRE);
    if (special & LIFESTEAL) game->printPic("lifesteal", x, y + 50, CENTRE);
    game->printPic("atk", x - 40, y + 40, CENTRE);
    label(game, std::to_string(nowatk), WHITE, x - 40, y + 40, 40, 32);
    game->printPic("hp", x + 40, y + 40, CENTRE);
    label(game, std::to_string(nowhp), healthColour(nowhp, hp), x + 40, y + 40, 40, 32);

    bool over = hovered(game, x - 40, y - 40, 80);
    if (over) printLarge(game, LARGE_X, LARGE_Y);

    if (!camp) {
        if (game->status == FREE && canAtk(game)) {
            game->printPic(over ? "cho" : "ava", x, y - 40, BOTTOM_MIDDLE);
            if (clicked(over)) {
                game->status = ATKCARD;
                game->atkFrom = pos;
                chooseTarget(game);
            }
        } else if (game->status == ATKCARD && game->atkFrom == pos) {
            game->printPic("set", x, y - 40, BOTTOM_MIDDLE);
            if (clicked(over)) {
                game->status = FREE;
                game->atkFrom = -1;
                game->battle.clearTargets();
            }
        }
    }
    targetStep(game, pos, over, x, y - 40);
}

void Minion::printLarge(Game* game, int x, int y) {
    LargeView{pid, rarity, true, nowatk, nowhp, healthColour(nowhp, hp), spCost, detail, name}.draw(game, x, y);
}
