// Battle operations on hands and decks: drawing, receiving and playing cards.
#include "card/card.h"
#include "game/game.h"
#include "game/presenter.h"

namespace {

constexpr int HAND_LIMIT = 8;

} // namespace

void Battle::drawCard(Game* game, bool camp) {
    std::vector<Card*>& deck = this->deck(camp);
    std::vector<Card*>& hand = this->hand(camp);
    if (deck.empty() || (int)hand.size() >= HAND_LIMIT) return;
    game->presenter->cardDrawn(game, camp);
    hand.push_back(deck.back());
    deck.pop_back();
    game->presenter->redraw(game);
}

void Battle::getCard(Game* game, Card* newc, bool camp, int fromPos) {
    std::vector<Card*>& hand = this->hand(camp);
    // A full hand drops the card; the match pool reclaims it with the rest.
    if ((int)hand.size() >= HAND_LIMIT) return;
    game->presenter->cardGiven(game, camp, fromPos);
    hand.push_back(newc);
}

void Battle::useCard(Game* game, int cpos, int pos, bool camp) {
    std::vector<Card*>& hand = this->hand(camp);
    // Callers test playability; a stray index must still not reach past the hand or the board.
    if (cpos < 0 || cpos >= (int)hand.size() || pos < 0 || pos >= 20) return;
    Card* card = hand[cpos];
    (camp ? opSp : mySp) -= card->spCost;
    if (game->isSpell(card->id)) {
        card->useSpell(game, pos, camp);
        hand.erase(hand.begin() + cpos);
    } else {
        card->genMinion(game, pos, camp);
        hand.erase(hand.begin() + cpos);
        // After the card has left: a battle cry that gives a card sees the room it made.
        c[pos]->battleCry(game);
    }
    if (!camp) game->status = FREE;
}

void Battle::refresh(Game*) {}
