#include "game/simulator.h"

#include <algorithm>
#include <iterator>

#include "card/card.h"
#include "game/driver.h"
#include "game/game.h"
#include "game/presenter.h"

namespace simulator {

namespace {

// The target marks as they were, put back when a listing that marked is done.
struct KeptMarks {
    Battle& battle;
    bool marks[20];
    explicit KeptMarks(Battle& b) : battle(b) { std::copy(std::begin(b.canAsTarget), std::end(b.canAsTarget), marks); }
    ~KeptMarks() { std::copy(std::begin(marks), std::end(marks), battle.canAsTarget); }
};

// A card of the same kind earlier in the hand gives the same actions.
bool seenBefore(const std::vector<Card*>& hand, int index) {
    for (int i = 0; i < index; ++i)
        if (hand[i]->id == hand[index]->id) return true;
    return false;
}

// The slots side camp may pick for the battle cry of `card`, by the rule of who may be picked.
void battleCryTargets(Game& game, const Card& card, bool camp, std::vector<int>& out) {
    out.clear();
    for (int slot : battleCryCandidates(card, camp))
        if (game.battle.c[slot]->canBecomeTarget(&game, camp, 1)) out.push_back(slot);
}

void addPlays(Game& game, bool camp, std::vector<Action>& out) {
    Battle& b = game.battle;
    std::vector<Card*>& hand = b.hand(camp);
    std::vector<int> targets;
    for (int i = 0; i < (int)hand.size(); ++i) {
        Card& card = *hand[i];
        if (seenBefore(hand, i) || !card.canUse(&game, camp)) continue;
        if (game.isSpell(card.id)) {
            card.setTarget(&game);
            for (int slot = 0; slot < 20; ++slot)
                if (b.canAsTarget[slot]) out.push_back(Action::play(i, slot));
            continue;
        }
        battleCryTargets(game, card, camp, targets);
        for (int slot = firstPlace(camp); slot < firstPlace(camp) + 9; ++slot) {
            if (b.c[slot]->id != 0) continue;
            if (targets.empty()) out.push_back(Action::play(i, slot));
            for (int target : targets) out.push_back(Action::play(i, slot, target));
        }
    }
}

void addAttacks(Game& game, bool camp, std::vector<Action>& out) {
    Battle& b = game.battle;
    for (int from = firstPlace(camp); from < firstPlace(camp) + 9; ++from) {
        Character* attacker = b.c[from];
        if (!attacker->canAtk(&game)) continue;
        attacker->chooseTarget(&game);
        for (int to = 0; to < 20; ++to)
            if (b.canAsTarget[to]) out.push_back(Action::attack(from, to));
    }
}

bool inHand(const Battle& b, bool camp, int index) {
    return index >= 0 && index < (int)b.hand(camp).size();
}

// The exchange, as the player's clicks make it: the marked cards, then the button.
void applyExchange(Game& game, unsigned mask) {
    std::vector<Card*>& hand = game.battle.myCard;
    for (int i = 0; i < (int)hand.size(); ++i) hand[i]->changed = (mask >> i) & 1;
    game.status = DISABLE;
}

// The turn handed over, as the player's button and the opponent's last pass do it.
void handOver(Game& game, bool camp) {
    if (!camp) {
        game.battle.nowTurn = true;
        return;
    }
    game.battle.nowTurn = false;
    game.presenter->redraw(&game);
}

} // namespace

bool sideToMove(const Game& game) { return game.status != CHANGECARD && game.battle.nowTurn; }

bool over(const Game& game) { return game.gameEnd; }

int winner(const Game& game) {
    const Battle& b = game.battle;
    if (!game.gameEnd || !b.c[0] || !b.c[1]) return -1;
    if (b.c[1]->nowhp < 1) return 0; // the first hero to fall decides, and only one can
    if (b.c[0]->nowhp < 1) return 1;
    return -1;
}

void legalActions(Game& game, std::vector<Action>& out) {
    out.clear();
    if (game.gameEnd) return;
    if (game.status == CHANGECARD) {
        unsigned masks = 1u << std::min<size_t>(game.battle.myCard.size(), 8);
        for (unsigned mask = 0; mask < masks; ++mask) out.push_back(Action::exchange(mask));
        return;
    }
    bool camp = sideToMove(game);
    KeptMarks kept(game.battle);
    addPlays(game, camp, out);
    addAttacks(game, camp, out);
    out.push_back(Action::end());
}

std::vector<Action> legalActions(Game& game) {
    std::vector<Action> out;
    legalActions(game, out);
    return out;
}

bool isLegal(Game& game, const Action& action) {
    std::vector<Action> actions = legalActions(game);
    if (std::find(actions.begin(), actions.end(), action) != actions.end()) return true;
    // Any card of a kind stands for its kind; a battle cry's target may be left to the side's pick.
    if (action.kind != Action::PLAY || !inHand(game.battle, sideToMove(game), action.card)) return false;
    std::vector<Card*>& hand = game.battle.hand(sideToMove(game));
    Action same = action;
    for (int i = 0; i < (int)hand.size(); ++i) {
        if (hand[i]->id != hand[action.card]->id) continue;
        same.card = (signed char)i;
        for (const Action& legal : actions)
            if (legal.kind == Action::PLAY && legal.card == same.card && legal.slot == same.slot &&
                (legal.target == same.target || same.target == -1))
                return true;
    }
    return false;
}

void apply(Game& game, const Action& action) {
    Battle& b = game.battle;
    bool camp = sideToMove(game);
    switch (action.kind) {
    case Action::END:
        return handOver(game, camp);
    case Action::EXCHANGE:
        return applyExchange(game, action.mask);
    case Action::PLAY:
        if (!inHand(b, camp, action.card)) return;
        game.presenter->cardPlayed(&game, camp, action.slot);
        game.plannedPick = action.target;
        b.useCard(&game, action.card, action.slot, camp);
        game.plannedPick = -1;
        return;
    case Action::ATTACK:
        if (action.slot < 0 || action.slot >= 20 || action.target < 0 || action.target >= 20) return;
        game.presenter->attackChosen(&game, action.slot, action.target);
        b.c[action.slot]->attack(&game, action.target, true, true, true, -1);
        return;
    }
}

void step(Game& game, const Action& action) {
    bool camp = sideToMove(game);
    apply(game, action);
    if (game.gameEnd) return;
    if (action.kind == Action::EXCHANGE) {
        closeExchange(&game);
        if (!game.gameEnd) openTurn(&game, false);
    } else if (action.kind == Action::END) {
        closeTurn(&game, camp);
        if (!game.gameEnd) openTurn(&game, !camp);
    }
}

void playTurn(Game& game, Policy& policy) {
    while (!game.gameEnd) {
        Action action = policy.choose(game);
        apply(game, action);
        if (action.kind == Action::END) return;
    }
}

namespace {

template <class T>
void copyAll(const std::vector<T*>& from, std::vector<T*>& to) {
    to.clear();
    to.reserve(from.size());
    for (const T* item : from) to.push_back(item->clone());
}

} // namespace

void copyPosition(const Game& from, Game& to) {
    const Battle& a = from.battle;
    Battle& b = to.battle;
    copyAll(a.myCard, b.myCard);
    copyAll(a.myDeck, b.myDeck);
    copyAll(a.opCard, b.opCard);
    copyAll(a.opDeck, b.opDeck);
    for (int slot = 0; slot < 20; ++slot) {
        b.c[slot] = a.c[slot] ? a.c[slot]->clone() : nullptr;
        b.canAsTarget[slot] = a.canAsTarget[slot];
    }
    b.turn = a.turn;
    b.nowTurn = a.nowTurn;
    b.mySp = a.mySp;
    b.opSp = a.opSp;
    b.mySpMax = a.mySpMax;
    b.opSpMax = a.opSpMax;
    to.status = from.status;
    to.cardChosen = from.cardChosen;
    to.atkFrom = from.atkFrom;
    to.atkTo = from.atkTo;
    to.gameEnd = from.gameEnd;
    to.plannedPick = -1;
}

} // namespace simulator
