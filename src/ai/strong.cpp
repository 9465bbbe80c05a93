#include "ai/strong.h"

#include <algorithm>
#include <cmath>

#include "ai/policies.h"
#include "card/card.h"
#include "game/game.h"
#include "game/presenter.h"
#include "game/simulator.h"
#include "platform/platform.h"

namespace {

// UCT's exploration for rewards in [0, 1]; the arena measured 0.5 to 0.7 best of 0.15 to 1.
constexpr double EXPLORATION = 0.7;
// Thinking is cut into slices well under the 50 ms a window or a page may be kept waiting.
constexpr long long YIELD_EVERY_MS = 20;
// A playout still undecided after this many turns counts as a draw (the standard rules end a match
// in about ten).
constexpr int PLAYOUT_TURNS = 60;

// An action as the tree knows it: by the kind of card rather than its place in the hand, so that
// the same move in two deals, whose hidden hands differ, is one edge.
uint64_t keyOf(const Game& game, const Action& a) {
    uint64_t card = 0;
    if (a.kind == Action::PLAY) {
        const Battle& b = game.battle;
        card = (uint64_t)b.hand(simulator::sideToMove(game))[a.card]->id;
    }
    return (uint64_t)a.kind | card << 8 | (uint64_t)(a.slot + 1) << 24 | (uint64_t)(a.target + 1) << 32 |
           (uint64_t)a.mask << 40;
}

// Shuffled from an order by kind, so that nothing of the order the cards came in is left.
void shuffleByKind(std::vector<Card*>& cards) {
    std::stable_sort(cards.begin(), cards.end(), [](const Card* x, const Card* y) { return x->id < y->id; });
    randomShuffle(cards);
}

// Deals anew what side `seer` cannot see: the other side's hand and deck as one pile, shuffled and
// dealt back by the public counts, and its own deck's order.
void dealHidden(Battle& b, bool seer) {
    std::vector<Card*>& hand = b.hand(!seer);
    std::vector<Card*>& deck = b.deck(!seer);
    size_t handSize = hand.size();
    std::vector<Card*> pile(hand);
    pile.insert(pile.end(), deck.begin(), deck.end());
    shuffleByKind(pile);
    hand.assign(pile.begin(), pile.begin() + handSize);
    deck.assign(pile.begin() + handSize, pile.end());
    shuffleByKind(b.deck(seer));
}

// The searching side's own later turns in a playout: the standard rules, but a minion goes to the
// right-most free place facing an empty enemy place, from where it may strike the hero next turn.
// Played out with the left-most places of the standard rules, nearly every match of the weaker
// deck looks lost, and the search has nothing to tell its moves apart.
Action towardOpenColumn(Game& game, Action a) {
    bool camp = simulator::sideToMove(game);
    Battle& b = game.battle;
    if (a.kind != Action::PLAY || game.isSpell(b.hand(camp)[a.card]->id)) return a;
    int first = firstPlace(camp), facing = camp ? -9 : 9;
    for (int slot = first + 8; slot >= first; --slot)
        if (b.c[slot]->id == 0 && b.c[slot + facing]->id == 0) {
            a.slot = (signed char)slot;
            break;
        }
    return a;
}

double rewardFor(bool mover, int winner) { return winner < 0 ? 0.5 : winner == (int)mover ? 1.0 : 0.0; }

} // namespace

// One decision's search: the deals, the tree walk and the playouts, all in an arena and a random
// stream of its own.
struct StrongPolicy::Search {
    std::vector<Node>& nodes;
    const Game& real;
    bool seer;
    SimulationScope scope;
    Game sim;
    StandardPolicy rules[2]; // each side's rules in the playouts, and for the picks they leave open
    SilentPresenter presenter{rules[0]};
    std::vector<Action> actions, untried;
    std::vector<uint64_t> keys;
    std::vector<int> path, legalChildren;

    Search(std::vector<Node>& nodes, const Game& real, uint64_t seed)
        : nodes(nodes), real(real), seer(simulator::sideToMove(real)) {
        scope.random.seed(seed);
        sim.presenter = &presenter;
        sim.opponent = &rules[1];
        nodes.clear();
        nodes.push_back(Node{0, !seer});
    }

    void iterate() {
        scope.arena.reset();
        simulator::copyPosition(real, sim);
        sim.ai = nullptr;
        dealHidden(sim.battle, seer);
        path.assign(1, 0);
        for (bool added = false; !added && !sim.gameEnd;) path.push_back(descend(path.back(), added));
        playOut();
        int winner = simulator::winner(sim);
        for (int n : path) {
            ++nodes[n].visits;
            nodes[n].reward += rewardFor(nodes[n].mover, winner);
        }
    }

    int childOf(int node, uint64_t key) const {
        for (int c = nodes[node].firstChild; c >= 0; c = nodes[c].nextSibling)
            if (nodes[c].key == key) return c;
        return -1;
    }

    // Takes one step from `node` in this deal: an action not tried yet when there is one (and the
    // walk ends there), else the best by UCT of those legal in this deal.
    int descend(int node, bool& added) {
        simulator::legalActions(sim, actions);
        bool mover = simulator::sideToMove(sim);
        keys.clear();
        untried.clear();
        legalChildren.clear();
        for (size_t i = 0; i < actions.size(); ++i) {
            keys.push_back(keyOf(sim, actions[i]));
            int child = childOf(node, keys[i]);
            if (child < 0) {
                untried.push_back(actions[i]);
            } else {
                ++nodes[child].available;
                legalChildren.push_back(child);
            }
        }
        if (!untried.empty()) {
            const Action& a = untried[currentRandom().below((unsigned)untried.size())];
            nodes.push_back(Node{keyOf(sim, a), mover, -1, nodes[node].firstChild, 0, 1, 0});
            nodes[node].firstChild = (int)nodes.size() - 1;
            simulator::step(sim, a);
            added = true;
            return nodes[node].firstChild;
        }
        int best = legalChildren[0];
        double bestScore = -1;
        for (int c : legalChildren) {
            const Node& n = nodes[c];
            double score = n.reward / n.visits + EXPLORATION * std::sqrt(std::log((double)n.available) / n.visits);
            if (score > bestScore) bestScore = score, best = c;
        }
        simulator::step(sim, actions[std::find(keys.begin(), keys.end(), nodes[best].key) - keys.begin()]);
        return best;
    }

    // The other side plays by the standard rules, the searching side by them too but toward the
    // open columns.
    void playOut() {
        rules[0] = StandardPolicy();
        rules[1] = StandardPolicy();
        int lastTurn = sim.battle.turn + PLAYOUT_TURNS;
        while (!sim.gameEnd && sim.battle.turn <= lastTurn) {
            bool side = simulator::sideToMove(sim);
            Action a = rules[side].choose(sim);
            simulator::step(sim, side == seer ? towardOpenColumn(sim, a) : a);
        }
    }
};

StrongPolicy::StrongPolicy(StrongSettings settings) : settings(std::move(settings)), stream(this->settings.seed) {}

Action StrongPolicy::choose(Game& game) {
    report = {};
    std::vector<Action> choices = simulator::legalActions(game);
    if (choices.size() < 2) return choices.empty() ? Action::end() : choices[0];

    long long (*clock)() = settings.clock ? settings.clock : platform::nowMs;
    long long start = clock(), lastYield = start;
    uint64_t seed = stream.next();
    seed = seed << 32 | stream.next();
    {
        Search search(nodes, game, seed);
        while (report.iterations < settings.iterations) {
            long long now = clock();
            if (now - start >= settings.milliseconds) {
                report.timeRanOut = true;
                break;
            }
            if (settings.yield && now - lastYield >= YIELD_EVERY_MS) {
                settings.yield();
                lastYield = clock();
            }
            search.iterate();
            ++report.iterations;
        }
    }
    report.milliseconds = clock() - start;

    int best = -1;
    for (int c = nodes[0].firstChild; c >= 0; c = nodes[c].nextSibling)
        if (best < 0 || nodes[c].visits > nodes[best].visits) best = c;
    if (best < 0) return choices[0];
    report.chosenVisits = nodes[best].visits;
    for (const Action& a : choices)
        if (keyOf(game, a) == nodes[best].key) return a;
    return choices[0];
}

int StrongPolicy::pick(Game& game, bool camp) { return standardPick(game.battle, camp); }
