// The game window's presenter: every moment of a match as the battle screen shows it (the
// movements of cards, strikes and heals, redraws, the opponent's spell shown large, the end
// screens) and the player's part taken from clicks on it.
#include "card/card.h"
#include "game/game.h"
#include "game/presenter.h"
#include "render/easyx_con.h"
#include "render/layout.h"
#include "render/surface.h"
#include "render/way_back.h"

namespace {

constexpr int WAIT_MS = 10; // each waiting loop's pause

constexpr LayoutPoint MY_DECK = {1142, 720};
constexpr LayoutPoint OP_DECK = {1142, 188};
constexpr LayoutPoint OP_HAND_CORNER = {76, 50};
constexpr LayoutPoint OP_HAND_CENTRE = {117, 106};
constexpr LayoutPoint LARGE_VIEW = {1130, 114};

// Anchor codes of Game::printPic.
constexpr int TOP_LEFT = 0, CENTRE = 4;

void slide(Game* game, const char* pid, LayoutPoint from, LayoutPoint to, int tm, int frame, int fmt) {
    game->anime_move(pid, from.x, from.y, to.x, to.y, tm, frame, fmt);
}

size_t handSize(Game* game, bool camp) { return game->battle.hand(camp).size(); }

// The centre of the hand position the next card of the player's hand takes.
LayoutPoint nextHandCentre(Game* game) {
    LayoutPoint corner = CardPos[handSize(game, false)];
    return {corner.x + 41, corner.y + 56};
}

class ScreenPresenter : public Presenter {
public:
    void cardDrawn(Game* game, bool camp) override {
        if (camp) return slide(game, "card", OP_DECK, OP_HAND_CORNER, 600, 18, TOP_LEFT);
        slide(game, "card", MY_DECK, CardPos[handSize(game, false)], 600, 18, TOP_LEFT);
    }

    void cardGiven(Game* game, bool camp, int fromSlot) override {
        slide(game, "card", CharPos[fromSlot], camp ? OP_HAND_CENTRE : nextHandCentre(game), 400, 16, CENTRE);
    }

    // The player's own plays come from clicks and fly nowhere; the opponent's leave its hand pile.
    void cardPlayed(Game* game, bool camp, int slot) override {
        if (camp) slide(game, "card", OP_HAND_CENTRE, CharPos[slot], 750, 25, CENTRE);
    }

    void attackChosen(Game* game, int from, int to) override {
        slide(game, "set", CharPos[from], CharPos[to], 450, 16, CENTRE);
    }

    void struck(Game* game, int slot) override {
        LayoutPoint at = CharPos[slot];
        slide(game, "p_atk", {at.x - 40, at.y - 40}, {at.x + 40, at.y + 40}, 250, 10, CENTRE);
    }

    void healed(Game* game, int slot) override {
        LayoutPoint at = CharPos[slot];
        slide(game, "heal", at, {at.x, at.y - 40}, 200, 10, CENTRE);
    }

    void redraw(Game* game) override { game->battle.printBattle(game, true); }

    // The player acknowledges with a click and its release.
    void spellCast(Game* game, Card& spell) override {
        spell.printLarge(game, LARGE_VIEW.x, LARGE_VIEW.y);
        FlushBatchDraw();
        while (!press(VK_LBUTTON)) {
        }
        while (press(VK_LBUTTON)) {
        }
    }

    // The result over the final board until the space key (or a tap, on a touch screen).
    void matchOver(Game* game, bool won) override {
        game->battle.printBattle(game, false);
        game->printPic(won ? "win" : "lose", 756, 512, CENTRE);
        EText(backPrompt(), WHITE, true, 0, 0, 512, 32).print(game, 756, 600);
        FlushBatchDraw();
        waitForBack();
    }

    // The battle screen's clicks mark the cards; its button ends the exchange.
    void openingExchange(Game* game) override {
        while (game->status == CHANGECARD) {
            game->battle.printBattle(game, true);
            Sleep(WAIT_MS);
        }
    }

    // The player's actions happen inside the redraws; the end-turn button hands the turn over.
    void playerTurn(Game* game) override {
        while (!game->battle.nowTurn) {
            game->battle.printBattle(game, true);
            if (game->gameEnd) return;
            Sleep(WAIT_MS);
        }
    }

    // The battle screen's click handling answers through atkTo.
    int playerPick(Game* game) override {
        game->status = ATKCARD;
        game->atkTo = -2;
        while (game->atkTo == -2 && !game->gameEnd) {
            game->battle.printBattle(game, true);
            Sleep(WAIT_MS);
        }
        // A match that ended meanwhile leaves nothing to pick.
        if (game->atkTo < 0 || game->atkTo >= 20) return -1;
        return game->atkTo;
    }
};

} // namespace

Presenter& screenPresenter() {
    static ScreenPresenter screen;
    return screen;
}
