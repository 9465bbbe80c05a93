#include <algorithm>

#include "ai/policies.h"
#include "ai/strong.h"
#include "game/driver.h"
#include "game/presenter.h"
#include "game/simulator.h"
#include "platform/headless/headless.h"
#include "support/battle_board.h"
#include "support/silent_table.h"

namespace headless = platform::headless;
using testing_support::BoardTest;

class OpponentTurn : public BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        b.nowTurn = true;
    }
};
class OpponentPick : public BoardTest {};

// Card animation: 26 frames of 30 ms; attack animation: 17 frames of 28 ms.
constexpr long long PLAY_MS = 26 * 30;
constexpr long long CHARGE_MS = 17 * 28;
constexpr long long STRIKE_MS = 11 * 25;

TEST_F(OpponentTurn, NothingToDoHandsTheTurnBackAfterOneRedraw) {
    b.opCard = {CARD_FPRINCESS};
    b.opSp = 6;
    put(12, 3, 3)->atkCnt = 0;
    ai.work(&game);
    EXPECT_FALSE(b.nowTurn);
    EXPECT_EQ(headless::flushCount(), 1);
    EXPECT_EQ(headless::clock(), 0);
    EXPECT_EQ(b.opCard.size(), 1u);
}

TEST_F(OpponentTurn, CardsGoLeftMostAndTheOneAfterAPlayWaitsAPass) {
    put(12, 0, 3)->atkCnt = 0;
    b.opCard = {CARD_NEWBIE, CARD_HANA, CARD_FPRINCESS}; // A, B, C
    b.opSp = 12;
    ai.work(&game);
    EXPECT_EQ(b.c[11]->id, 10) << "A, first pass";
    EXPECT_EQ(b.c[13]->id, 13) << "C, first pass, at index 1 of the shortened hand";
    EXPECT_EQ(b.c[14]->id, 11) << "B, second pass";
    EXPECT_TRUE(b.opCard.empty());
    EXPECT_EQ(b.opSp, 0);
    EXPECT_FALSE(b.nowTurn);
    EXPECT_EQ(headless::clock(), 3 * PLAY_MS) << "new minions do not attack";

    for (int slot = 15; slot <= 19; ++slot) put(slot, 1, 1)->atkCnt = 0;
    b.opCard = {CARD_NEWBIE};
    b.opSp = 5;
    b.nowTurn = true;
    ai.work(&game);
    EXPECT_EQ(b.opCard.size(), 1u) << "no free place, no play";
}

TEST_F(OpponentTurn, TheHeroFirstElseTheRightMostMarkedMinion) {
    Minion* left = put(4, 1, 9);
    Minion* right = put(9, 1, 9);
    Minion* open = put(11, 2, 5);  // its column (slot 2) is empty
    Minion* facing = put(13, 2, 5); // slot 4 faces it
    ai.work(&game);
    EXPECT_EQ(hero(false)->nowhp, 28);
    EXPECT_EQ(right->nowhp, 7);
    EXPECT_EQ(left->nowhp, 9);
    EXPECT_EQ(open->atkCnt + facing->atkCnt, 0);
    EXPECT_EQ(facing->nowhp, 4) << "struck back";
    EXPECT_EQ(headless::clock(), 2 * CHARGE_MS + 3 * STRIKE_MS);
    EXPECT_FALSE(b.nowTurn);

    put(6, 1, 9, TAUNT);
    open->beginOfMyTurn(&game);
    b.nowTurn = true;
    ai.work(&game);
    EXPECT_EQ(b.c[6]->nowhp, 7) << "taunt keeps it off the hero";
    EXPECT_EQ(hero(false)->nowhp, 28);
}

TEST_F(OpponentTurn, AFallenHeroStopsTheTurnWhereItIs) {
    headless::setKey(VK_SPACE, true); // the end screen waits for space
    hero(false)->nowhp = 2;
    put(11, 2, 2);
    Minion* idle = put(12, 2, 2);
    b.opCard = {CARD_NEWBIE};
    b.opSp = 1;
    ai.work(&game);
    EXPECT_TRUE(game.gameEnd);
    EXPECT_TRUE(b.nowTurn) << "the turn is not handed back";
    EXPECT_EQ(idle->atkCnt, 1) << "no attack after the end";
}

TEST_F(OpponentTurn, ItsSpellWaitsForThePlayersClickAndRelease) {
    b.opCard = {CARD_HIT};
    b.opSp = 2;
    // Once the card has flown in, the clock stands still while the cast waits on the button.
    int waiting = 0, hpWhenReleased = 0;
    script([&] {
        if (headless::clock() != PLAY_MS) return;
        ++waiting;
        if (waiting == 10) headless::setKey(VK_LBUTTON, true);
        if (waiting == 20) {
            headless::setKey(VK_LBUTTON, false);
            hpWhenReleased = hero(false)->nowhp;
        }
    });
    ai.work(&game);
    EXPECT_GE(waiting, 20) << "the cast waited for the release";
    EXPECT_EQ(hpWhenReleased, 30) << "no damage before the acknowledgement";
    EXPECT_EQ(hero(false)->nowhp, 27) << "the player's hero is the lowest marked slot";
    EXPECT_TRUE(b.opCard.empty());
    EXPECT_EQ(b.opSp, 0);
}

TEST_F(OpponentPick, HeroThenLowestMinionThenItsOwnHero) {
    struct Case {
        std::vector<int> marks;
        int pick;
    };
    for (const Case& c : {Case{{1}, 1}, Case{{12, 5}, 5}, Case{{3, 0}, 0}, Case{{}, 1}, Case{{19, 1}, 19}}) {
        for (bool& m : b.canAsTarget) m = false;
        for (int slot : c.marks) b.canAsTarget[slot] = true;
        EXPECT_EQ(ai.chooseTarget(&game), c.pick);
    }
}

// ---- the strong opponent ----

namespace {

// A match played without a screen, one decision at a time, in an arena of the test's own.
struct SilentMatch : SimulationScope, testing_support::SilentTable {
    explicit SilentMatch(unsigned seed) { dealMatch(&game, seed); }
    // The standard rules play on (the player giving back the cards of `exchange`) until `side` is
    // about to begin its turn `turn`.
    void playUntil(int turn, bool side, unsigned exchange) {
        simulator::step(game, Action::exchange(exchange));
        SilentTable::playUntil(turn, side);
    }
};

// The same public facts, the hidden cards elsewhere: the other side's hand and deck as one pile
// turned round by the hand's size, dealt back by the same counts; the seeing side's deck reversed.
void rearrangeHidden(Battle& b, bool seer) {
    std::vector<Card*>& hand = seer ? b.myCard : b.opCard;
    std::vector<Card*>& deck = seer ? b.myDeck : b.opDeck;
    std::vector<Card*> pile(hand);
    pile.insert(pile.end(), deck.begin(), deck.end());
    std::rotate(pile.begin(), pile.begin() + hand.size(), pile.end());
    hand.assign(pile.begin(), pile.begin() + hand.size());
    deck.assign(pile.begin() + hand.size(), pile.end());
    std::vector<Card*>& own = seer ? b.opDeck : b.myDeck;
    std::reverse(own.begin(), own.end());
}

// The kinds of the cards in both hands and decks, in their order.
std::vector<int> hiddenKinds(const Battle& b) {
    std::vector<int> kinds;
    for (const std::vector<Card*>* cards : {&b.myCard, &b.myDeck, &b.opCard, &b.opDeck})
        for (const Card* card : *cards) kinds.push_back(card->id);
    return kinds;
}

StrongSettings testBudget(int iterations) {
    StrongSettings settings;
    settings.iterations = iterations;
    settings.seed = 7;
    return settings;
}

} // namespace

TEST(StrongOpponent, DecidesAlikeWhereverTheCardsItCannotSeeLie) {
    struct Case {
        const char* seat;
        bool seer;
        int turn;
        unsigned exchange;
    };
    // The opponent while the player's hand holds the four rare cards (turned round, they go into its
    // deck); the player after giving its hand back, so that its deck's order hides them.
    for (const Case& c : {Case{"opponent", true, 3, 0}, Case{"player", false, 3, 0xF}}) {
        SCOPED_TRACE(c.seat);
        SilentMatch match(11);
        match.playUntil(c.turn, c.seer, c.exchange);
        ASSERT_FALSE(simulator::over(match.game));
        Game elsewhere;
        simulator::copyPosition(match.game, elsewhere);
        rearrangeHidden(elsewhere.battle, c.seer);
        ASSERT_NE(hiddenKinds(elsewhere.battle), hiddenKinds(match.game.battle)) << "the rearrangement moves cards";

        RandomStream before = currentRandom();
        size_t objects = matchObjectCount();
        StrongPolicy first(testBudget(400)), again(testBudget(400)), other(testBudget(400));
        Action chosen = first.choose(match.game);
        ASSERT_GT(first.lastSearch().iterations, 0) << "a decision with a choice";
        EXPECT_EQ(again.choose(match.game), chosen) << "the same seed and budget";
        EXPECT_EQ(again.lastSearch().chosenVisits, first.lastSearch().chosenVisits);
        EXPECT_EQ(other.choose(elsewhere), chosen);
        EXPECT_EQ(other.lastSearch().chosenVisits, first.lastSearch().chosenVisits)
            << "every deal of the search is the same";
        EXPECT_EQ(currentRandom().next(), before.next()) << "the match's own picks are left alone";
        EXPECT_EQ(matchObjectCount(), objects) << "nothing of the search is left in the match's arena";
    }
}

TEST(StrongOpponent, ChoosesOnlyLegalActions) {
    // Matches against the standard rules and against random play, in both seats: the positions an
    // arena run meets, the player's exchange and the battle cry that asks for a target among them.
    int checked = 0;
    for (unsigned seed = 1; checked < 2000; ++seed) {
        bool seer = seed % 2;
        SilentMatch match(seed);
        RandomPolicy random;
        StrongPolicy strong(testBudget(24));
        Policy& other = seed % 4 < 2 ? (Policy&)match.rules[!seer] : random;
        while (!simulator::over(match.game) && match.game.battle.turn < 40) {
            bool side = simulator::sideToMove(match.game);
            Action action = (side == seer ? (Policy&)strong : other).choose(match.game);
            if (side == seer) {
                ASSERT_TRUE(simulator::isLegal(match.game, action))
                    << "seed " << seed << ", turn " << match.game.battle.turn << ", kind " << (int)action.kind;
                ++checked;
            }
            simulator::step(match.game, action);
        }
    }
}

TEST(StrongOpponent, StopsWhenItsTimeIsUpAndLetsTheWindowRunMeanwhile) {
    SilentMatch match(3);
    match.playUntil(2, true, 0);
    // A clock that moves a millisecond at every reading, whatever the machine's speed.
    static long long now;
    now = 0;
    long long lastYield = 0, longestWait = 0;
    StrongSettings settings = testBudget(100000);
    settings.milliseconds = 300;
    settings.clock = [] { return ++now; };
    settings.yield = [&] {
        longestWait = std::max(longestWait, now - lastYield);
        lastYield = now;
    };
    StrongPolicy strong(settings);
    strong.choose(match.game);
    EXPECT_TRUE(strong.lastSearch().timeRanOut);
    EXPECT_GT(lastYield, 250) << "it yielded until the end";
    EXPECT_LE(longestWait, 50);
}
