// The computer opponent: play every card it can, then attack with every minion that can,
// and repeat until a pass changes nothing.
#include "ai/ai.h"

#include "card/card.h"
#include "game/game.h"
#include "render/layout.h"

namespace {

constexpr LayoutPoint HAND_PILE = {117, 106};

// Slides a card from the hand pile to the slot it is played at.
void showPlay(Game* game, int slot) {
    game->anime_move("card", HAND_PILE.x, HAND_PILE.y, CharPos[slot].x, CharPos[slot].y, 750, 25, 4);
}

// Plays what it can in hand order; returns whether a card was played.
bool cardPhase(Game* game) {
    Battle& b = game->battle;
    bool played = false;
    // After a play the next card slides into index i and waits for the next pass.
    for (int i = 0; i < (int)b.opCard.size() && !game->gameEnd; ++i) {
        Card* card = b.opCard[i];
        if (!card->canUse(game, true)) continue;
        int slot = -1;
        if (!game->isSpell(card->id)) {
            for (int j = 11; j <= 19 && slot < 0; ++j)
                if (b.c[j]->id == 0) slot = j;
        } else {
            card->setTarget(game);
            for (int j = 0; j <= 19 && slot < 0; ++j)
                if (b.canAsTarget[j]) slot = j;
        }
        if (slot < 0) continue;
        showPlay(game, slot);
        b.useCard(game, i, slot, true);
        played = true;
    }
    return played;
}

// The player's hero when it may be struck, else the right-most marked minion; -1 for none.
int attackTarget(const Battle& b) {
    if (b.canAsTarget[0]) return 0;
    int target = -1;
    for (int j = 2; j <= 10; ++j)
        if (b.canAsTarget[j]) target = j;
    return target;
}

bool attackPhase(Game* game) {
    Battle& b = game->battle;
    bool attacked = false;
    for (int i = 11; i <= 19 && !game->gameEnd; ++i) {
        Character* attacker = b.c[i];
        if (!attacker->canAtk(game)) continue;
        attacker->chooseTarget(game);
        int target = attackTarget(b);
        if (target < 0) continue;
        game->anime_move("set", CharPos[i].x, CharPos[i].y, CharPos[target].x, CharPos[target].y, 450, 16, 4);
        attacker->attack(game, target, true, true, true, -1);
        attacked = true;
    }
    return attacked;
}

} // namespace

AI::AI() {}
AI::~AI() {}

void AI::work(Game* game) {
    while (!game->gameEnd) {
        bool played = cardPhase(game);
        bool attacked = attackPhase(game);
        if (game->gameEnd) return; // the end screen has the match now; the turn is not handed back
        if (!played && !attacked) {
            game->battle.nowTurn = false;
            game->battle.printBattle(game, true);
            return;
        }
    }
}

int AI::chooseTarget(Game* game) {
    const bool* marks = game->battle.canAsTarget;
    if (marks[0]) return 0;
    for (int slot = 2; slot <= 19; ++slot)
        if (marks[slot]) return slot;
    return 1;
}
