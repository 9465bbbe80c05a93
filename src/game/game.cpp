#include "game/game.h"

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

// The slot pointers, the marks and the counters, copied in declaration order after the vectors.
void Battle::assignBoard(const Battle& other) {
    for (int i = 0; i < 20; ++i) c[i] = other.c[i];
    for (int i = 0; i < 20; ++i) canAsTarget[i] = other.canAsTarget[i];
    turn = other.turn;
    nowTurn = other.nowTurn;
    mySp = other.mySp;
    opSp = other.opSp;
    mySpMax = other.mySpMax;
    opSpMax = other.opSpMax;
}

Battle& Battle::operator=(const Battle& other) {
    myCard = other.myCard;
    myDeck = other.myDeck;
    opCard = other.opCard;
    opDeck = other.opDeck;
    assignBoard(other);
    return *this;
}

Battle& Battle::operator=(Battle&& other) {
    myCard = std::move(other.myCard);
    myDeck = std::move(other.myDeck);
    opCard = std::move(other.opCard);
    opDeck = std::move(other.opDeck);
    assignBoard(other);
    return *this;
}

Game::Game()
    : rate(1.0), font("幼圆"), ai(nullptr), status(DISABLE), cardChosen(-1), atkFrom(-1), atkTo(-1), gameEnd(false) {}

Game::~Game() = default;

Game& Game::operator=(const Game& other) {
    rate = other.rate;
    font = other.font;
    battle = other.battle;
    ai = other.ai;
    status = other.status;
    cardChosen = other.cardChosen;
    atkFrom = other.atkFrom;
    atkTo = other.atkTo;
    gameEnd = other.gameEnd;
    pmap = other.pmap;
    return *this;
}

bool Game::isSpell(int id) { return id > 9999; }
