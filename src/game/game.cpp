#include "game/game.h"

#include "game/presenter.h"

Battle::Battle() : turn(0), nowTurn(false), mySp(0), opSp(0), mySpMax(0), opSpMax(0) {
    myCard.clear();
    myDeck.clear();
    opCard.clear();
    opDeck.clear();
    for (int i = 0; i < 20; ++i) {
        c[i] = nullptr;
        canAsTarget[i] = false;
    }
}

Battle::~Battle() = default;

// Member by member in declaration order: the vectors copied or moved, the slots, marks and counters
// copied (shallow: both battles then point to the same cards and characters).
Battle& Battle::operator=(const Battle& other) = default;
Battle& Battle::operator=(Battle&& other) = default;

Game::Game()
    : rate(1.0), font("幼圆"), ai(nullptr), status(DISABLE), cardChosen(-1), atkFrom(-1), atkTo(-1), gameEnd(false),
      presenter(&screenPresenter()), opponent(nullptr), plannedPick(-1), language(Language::CHINESE) {}

Game::~Game() = default;

// Member by member in declaration order; the pictures are shared.
Game& Game::operator=(const Game& other) = default;

bool Game::isSpell(int id) { return id > 9999; }
