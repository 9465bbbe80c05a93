// The battle driver: set-up, the opening exchange, then full turns until a hero falls.
#include "game/driver.h"

#include "ai/ai.h" // up: the match makes its opponent's AI as it begins
#include "card/card.h"
#include "game/game.h"
#include "game/presenter.h"
#include "game/random.h"
#include "platform/platform.h"

namespace {

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

} // namespace

void closeExchange(Game* game) {
    Battle& b = game->battle;
    // Marked cards go back on top of the deck, which is then shuffled, and the hand is refilled.
    for (int step = 0, j = 0; step < 4 && j < (int)b.myCard.size(); ++step) {
        if (b.myCard[j]->changed) {
            b.myDeck.push_back(b.myCard[j]);
            b.myCard.erase(b.myCard.begin() + j);
        } else {
            ++j;
        }
    }
    game->presenter->redraw(game);
    randomShuffle(b.myDeck);
    while (b.myCard.size() <= 3 && !b.myDeck.empty()) b.drawCard(game, false);
    game->ai = new AI();
}

void openTurn(Game* game, bool camp) {
    Battle& b = game->battle;
    if (!camp) ++b.turn;
    b.nowTurn = camp;
    b.c[camp]->beginOfMyTurn(game);
    for (int slot = firstPlace(camp); slot < firstPlace(camp) + 9; ++slot) b.c[slot]->beginOfMyTurn(game);
    int& spMax = camp ? b.opSpMax : b.mySpMax;
    if (spMax <= 9) ++spMax;
    (camp ? b.opSp : b.mySp) = spMax;
    if (camp) game->presenter->redraw(game);
    b.drawCard(game, camp);
    if (camp) return;
    game->status = FREE;
    game->cardChosen = -1;
    game->atkFrom = -1;
}

void closeTurn(Game* game, bool camp) {
    Battle& b = game->battle;
    if (!camp) game->status = DISABLE;
    for (int slot = 0; slot < 20; ++slot) b.c[slot]->endOfTurn(game);
    b.c[camp]->endOfMyTurn(game);
    for (int slot = firstPlace(camp); slot < firstPlace(camp) + 9; ++slot) b.c[slot]->endOfMyTurn(game);
}

void dealMatch(Game* game, unsigned seed) {
    reclaimPreviousMatch(game);
    seedRandom(seed);
    game->gameEnd = false;
    game->battle = Battle();
    Battle& b = game->battle;
    setUpBoard(game);
    fillDecks(b);
    for (int i = 0; i < 4; ++i) b.drawCard(game, false);
    for (int i = 0; i < 4; ++i) b.drawCard(game, true);
    game->status = CHANGECARD;
}

void playMatch(Game* game, unsigned seed) {
    dealMatch(game, seed);
    game->presenter->openingExchange(game);
    closeExchange(game);

    while (!game->gameEnd) {
        openTurn(game, false);
        game->presenter->playerTurn(game);
        if (game->gameEnd) return;
        closeTurn(game, false);
        openTurn(game, true);
        game->ai->work(game);
        closeTurn(game, true);
    }
}

void startBattle(Game* game) { playMatch(game, platform::matchSeed()); }
