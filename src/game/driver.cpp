// The battle driver: set-up, the opening exchange, then full turns until a hero falls.
#include "game/driver.h"

#include "ai/ai.h"
#include "card/card.h"
#include "game/game.h"
#include "game/random.h"
#include "render/surface.h"

namespace {

constexpr int WAIT_MS = 10;

// Gives back everything the previous match created; nothing of it runs any more.
void reclaimPreviousMatch(Game* game) {
    reclaimMatchObjects();
    game->ai = nullptr;
}

void setUpBoard(Game* game) {
    Battle& b = game->battle;
    b.c[0] = new MainHero(1, "my_main", 0, false, 0, 30, "浮游城");
    b.c[1] = new MainHero(2, "op_main", 1, true, 0, 30, "你的敌人");
    for (int slot = 2; slot < 20; ++slot) b.c[slot] = new Character(0, slot, slot >= 11);
    b.mySpMax = b.mySp = b.opSpMax = b.opSp = 0;
    game->status = DISABLE;
    b.clearTargets();
}

void fillDecks(Battle& b) {
    for (int i = 0; i < 30; ++i) b.myDeck.push_back(CARD_NEWBIE);
    for (int i = 0; i < 30; ++i) b.opDeck.push_back(CARD_NEWBIE);
    b.myDeck.push_back(CARD_HANA);
    b.myDeck.push_back(CARD_PRISCILLA);
    b.myDeck.push_back(CARD_FPRINCESS);
    b.myDeck.push_back(CARD_ARA);
}

// The player marks cards to exchange; marked cards go back on top of the deck, which is then
// shuffled, and the hand is refilled to four.
void openingExchange(Game* game) {
    Battle& b = game->battle;
    game->status = CHANGECARD;
    while (game->status == CHANGECARD) {
        b.printBattle(game, true);
        Sleep(WAIT_MS);
    }
    for (int step = 0, j = 0; step < 4 && j < (int)b.myCard.size(); ++step) {
        if (b.myCard[j]->changed) {
            b.myDeck.push_back(b.myCard[j]);
            b.myCard.erase(b.myCard.begin() + j);
        } else {
            ++j;
        }
    }
    b.printBattle(game, true);
    randomShuffle(b.myDeck);
    while (b.myCard.size() <= 3 && !b.myDeck.empty()) b.drawCard(game, false);
}

void beginTurn(Game* game, bool camp) {
    Battle& b = game->battle;
    b.c[camp]->beginOfMyTurn(game);
    for (int slot = camp ? 11 : 2, last = slot + 8; slot <= last; ++slot) b.c[slot]->beginOfMyTurn(game);
    int& spMax = camp ? b.opSpMax : b.mySpMax;
    if (spMax <= 9) ++spMax;
    (camp ? b.opSp : b.mySp) = spMax;
}

void endTurn(Game* game, bool camp) {
    Battle& b = game->battle;
    for (int slot = 0; slot < 20; ++slot) b.c[slot]->endOfTurn(game);
    b.c[camp]->endOfMyTurn(game);
    for (int slot = camp ? 11 : 2, last = slot + 8; slot <= last; ++slot) b.c[slot]->endOfMyTurn(game);
}

} // namespace

void startBattle(Game* game) {
    reclaimPreviousMatch(game);
    seedMatchRandom();
    game->gameEnd = false;
    game->battle = Battle();
    Battle& b = game->battle;
    setUpBoard(game);
    fillDecks(b);
    for (int i = 0; i < 4; ++i) b.drawCard(game, false);
    for (int i = 0; i < 4; ++i) b.drawCard(game, true);
    openingExchange(game);
    game->ai = new AI();

    while (!game->gameEnd) {
        ++b.turn;
        b.nowTurn = false;
        beginTurn(game, false);
        b.drawCard(game, false);
        game->status = FREE;
        game->cardChosen = -1;
        game->atkFrom = -1;
        while (!b.nowTurn) {
            b.printBattle(game, true);
            if (game->gameEnd) return;
            Sleep(WAIT_MS);
        }
        game->status = DISABLE;
        endTurn(game, false);

        b.nowTurn = true;
        beginTurn(game, true);
        b.printBattle(game, true);
        b.drawCard(game, true);
        game->ai->work(game);
        endTurn(game, true);
    }
}
