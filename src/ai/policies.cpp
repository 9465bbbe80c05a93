#include "ai/policies.h"

#include "card/card.h"
#include "game/game.h"
#include "game/random.h"
#include "game/simulator.h"
#include "platform/platform.h"

namespace {

// The longest a decision of the strong opponent may take in the game. The browser's build runs the
// search about half as fast and is given twice the time (its build says so).
#ifdef CARDBATTLE_THINKING_MS
constexpr int THINKING_MS = CARDBATTLE_THINKING_MS;
#else
constexpr int THINKING_MS = StrongSettings::IN_GAME_MILLISECONDS;
#endif

// Where the standard rules play a card of side camp: the left-most free place for a minion, the
// first marked slot for a spell; -1 when the card cannot be played.
int placeFor(Game& game, Card& card, bool camp) {
    Battle& b = game.battle;
    if (!card.canUse(&game, camp)) return -1;
    if (!game.isSpell(card.id)) {
        for (int slot = firstPlace(camp); slot < firstPlace(camp) + 9; ++slot)
            if (b.c[slot]->id == 0) return slot;
        return -1;
    }
    card.setTarget(&game);
    for (int slot = 0; slot < 20; ++slot)
        if (b.canAsTarget[slot]) return slot;
    return -1;
}

// The enemy hero when it may be struck, else the right-most marked enemy place; -1 for none.
int attackTarget(const Battle& b, bool camp) {
    if (b.canAsTarget[heroSlot(!camp)]) return heroSlot(!camp);
    int target = -1;
    for (int slot = firstPlace(!camp); slot < firstPlace(!camp) + 9; ++slot)
        if (b.canAsTarget[slot]) target = slot;
    return target;
}

} // namespace

void StandardPolicy::startPass() {
    cardPhase = true;
    next = 0;
    acted = false;
}

Action StandardPolicy::choose(Game& game) {
    if (game.status == CHANGECARD) return Action::exchange(0);
    Battle& b = game.battle;
    bool camp = simulator::sideToMove(game);
    int turnKey = b.turn * 2 + camp;
    if (turnKey != turnSeen) {
        turnSeen = turnKey;
        startPass();
    }
    for (;;) {
        if (cardPhase) {
            // After a play the next card slides into this index and waits for the next pass.
            std::vector<Card*>& hand = b.hand(camp);
            while (next < (int)hand.size()) {
                int card = next++;
                int slot = placeFor(game, *hand[card], camp);
                if (slot < 0) continue;
                acted = true;
                return Action::play(card, slot);
            }
            cardPhase = false;
            next = firstPlace(camp);
        }
        while (next < firstPlace(camp) + 9) {
            int from = next++;
            Character* attacker = b.c[from];
            if (!attacker->canAtk(&game)) continue;
            attacker->chooseTarget(&game);
            int to = attackTarget(b, camp);
            if (to < 0) continue;
            acted = true;
            return Action::attack(from, to);
        }
        if (!acted) return Action::end();
        startPass();
    }
}

int StandardPolicy::pick(Game& game, bool camp) { return standardPick(game.battle, camp); }

int standardPick(const Battle& battle, bool camp) {
    const bool* marks = battle.canAsTarget;
    if (marks[heroSlot(!camp)]) return heroSlot(!camp);
    for (int side : {!camp, camp})
        for (int slot = firstPlace(side); slot < firstPlace(side) + 9; ++slot)
            if (marks[slot]) return slot;
    return camp ? 1 : 0;
}

Action RandomPolicy::choose(Game& game) {
    simulator::legalActions(game, actions);
    if (actions.empty()) return Action::end();
    return actions[nextRandom() % actions.size()];
}

std::unique_ptr<Policy> policyNamed(const std::string& name, const StrongSettings& strong) {
    if (name == "standard") return std::make_unique<StandardPolicy>();
    if (name == "random") return std::make_unique<RandomPolicy>();
    if (name == "strong") return std::make_unique<StrongPolicy>(strong);
    return nullptr;
}

std::unique_ptr<Policy> opponentPolicy(Opponent opponent) {
    if (opponent == Opponent::STANDARD) return nullptr;
    StrongSettings settings;
    settings.milliseconds = THINKING_MS;
    settings.seed = platform::matchSeed();
    settings.yield = [] { platform::sleepMs(0); }; // the window, or the page, gets its turn
    return std::make_unique<StrongPolicy>(settings);
}

int RandomPolicy::pick(Game& game, bool) {
    std::vector<int> marked;
    for (int slot = 0; slot < 20; ++slot)
        if (game.battle.canAsTarget[slot]) marked.push_back(slot);
    return marked.empty() ? -1 : randomPick(marked);
}
