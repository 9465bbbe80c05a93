// The rules as a simulator: the legal actions against what the rules allow, a deep copy that shares
// nothing, simulations that leave the real match's objects and random sequence alone, and the
// standard policy mirrored for the player's seat.
#include <set>
#include <sstream>

#include "ai/policies.h"
#include "game/driver.h"
#include "game/presenter.h"
#include "game/simulator.h"
#include "support/battle_board.h"
#include "support/silent_table.h"

using testing_support::BoardTest;

namespace {

// ---- legal actions ----------------------------------------------------------------------------

struct LegalCase {
    const char* name;
    void (*setUp)(BoardTest& t);
    std::vector<Action> actions; // all of them, in the order listed
    Action forbidden;            // one the rules do not allow there
};

void PrintTo(const LegalCase& c, std::ostream* out) { *out << c.name; }

class LegalActions : public BoardTest, public ::testing::WithParamInterface<LegalCase> {
public:
    Minion* at(int slot, int atk, int hp, int special = 0) { return put(slot, atk, hp, special); }
    Battle& board() { return b; }
};

TEST_P(LegalActions, AreWhatTheRulesAllow) {
    const LegalCase& c = GetParam();
    b.mySp = 10;
    c.setUp(*this);
    bool marks[20];
    std::copy(std::begin(b.canAsTarget), std::end(b.canAsTarget), marks);
    std::vector<Action> actions = simulator::legalActions(game);
    EXPECT_TRUE(actions == c.actions) << "got " << actions.size() << " actions";
    for (const Action& a : actions) EXPECT_TRUE(simulator::isLegal(game, a));
    EXPECT_FALSE(simulator::isLegal(game, c.forbidden));
    EXPECT_TRUE(std::equal(std::begin(marks), std::end(marks), b.canAsTarget)) << "the marks are left as they were";
}

const Action END = Action::end();

INSTANTIATE_TEST_SUITE_P(
    Positions, LegalActions,
    ::testing::Values(
        // The hero is open only past an empty facing place.
        LegalCase{"TheColumnRule",
                  [](BoardTest& t) {
                      auto& s = static_cast<LegalActions&>(t);
                      s.at(4, 1, 5);
                      s.at(5, 1, 5);
                      s.at(13, 1, 5)->atkCnt = 0;
                  },
                  {Action::attack(4, 13), Action::attack(5, 1), Action::attack(5, 13), END},
                  Action::attack(4, 1)},
        LegalCase{"ATauntHoldsEveryAttack",
                  [](BoardTest& t) {
                      auto& s = static_cast<LegalActions&>(t);
                      s.at(2, 1, 5);
                      s.at(11, 1, 5);
                      s.at(19, 1, 5, TAUNT);
                  },
                  {Action::attack(2, 19), END},
                  Action::attack(2, 11)},
        // An immune hero can be neither struck nor a spell's target.
        LegalCase{"AnImmuneHero",
                  [](BoardTest& t) {
                      auto& s = static_cast<LegalActions&>(t);
                      s.board().c[1]->special = IMMUNE;
                      s.board().myCard = {CARD_HIT};
                      s.at(3, 1, 5);
                      s.at(14, 1, 5);
                  },
                  {Action::play(0, 14), Action::attack(3, 14), END},
                  Action::play(0, 1)},
        // Nine places taken: no card can be played, a spell included.
        LegalCase{"AFullBoard",
                  [](BoardTest& t) {
                      auto& s = static_cast<LegalActions&>(t);
                      for (int slot = 2; slot <= 10; ++slot) s.at(slot, 1, 1)->atkCnt = 0;
                      s.board().myCard = {CARD_NEWBIE, CARD_HIT};
                  },
                  {END},
                  Action::play(0, 5)},
        // Two cards of a kind give one set of plays; an unaffordable card none.
        LegalCase{"OnePlayPerKind",
                  [](BoardTest& t) {
                      auto& s = static_cast<LegalActions&>(t);
                      for (int slot = 2; slot <= 8; ++slot) s.at(slot, 1, 1)->atkCnt = 0;
                      s.board().myCard = {CARD_NEWBIE, CARD_NEWBIE, CARD_ARA};
                      s.board().mySp = 6;
                  },
                  {Action::play(0, 9), Action::play(0, 10), END},
                  Action::play(2, 9)},
        // Claude's battle cry picks any enemy that is not immune, taunt or not.
        LegalCase{"ABattleCrysTargets",
                  [](BoardTest& t) {
                      auto& s = static_cast<LegalActions&>(t);
                      for (int slot = 2; slot <= 9; ++slot) s.at(slot, 1, 1)->atkCnt = 0;
                      s.at(11, 1, 1, IMMUNE);
                      s.at(12, 1, 1, TAUNT);
                      s.board().myCard = {CARD_CLAUDE};
                  },
                  {Action::play(0, 10, 1), Action::play(0, 10, 12), END},
                  Action::play(0, 10, 11)}),
    [](const ::testing::TestParamInfo<LegalCase>& info) { return std::string(info.param.name); });

// ---- copies and simulations ----------------------------------------------------------------------

// Everything a position holds, as text.
std::string fingerprint(const Game& g) {
    std::ostringstream out;
    const Battle& b = g.battle;
    for (const auto* pile : {&b.myCard, &b.myDeck, &b.opCard, &b.opDeck}) {
        for (const Card* card : *pile) out << card->id << (card->changed ? "*" : "") << ",";
        out << "|";
    }
    for (const Character* ch : b.c)
        out << ch->id << ":" << ch->nowatk << "/" << ch->nowhp << "/" << ch->special << "/" << ch->atkCnt << " ";
    out << b.turn << b.nowTurn << b.mySp << b.opSp << b.mySpMax << b.opSpMax << g.status << g.gameEnd;
    return out.str();
}

std::set<const void*> objectsOf(const Game& g) {
    std::set<const void*> all(std::begin(g.battle.c), std::end(g.battle.c));
    for (const auto* pile : {&g.battle.myCard, &g.battle.myDeck, &g.battle.opCard, &g.battle.opDeck})
        all.insert(pile->begin(), pile->end());
    return all;
}

using testing_support::SilentTable;

TEST(Simulation, ACopyPlayedToTheEndLeavesTheOriginalAsItWasAndSharesNothing) {
    SimulationScope scope;
    SilentTable real, trial;
    dealMatch(&real.game, 3);
    real.playUntil(5);
    std::string before = fingerprint(real.game);
    simulator::copyPosition(real.game, trial.game);
    EXPECT_EQ(fingerprint(trial.game), before);
    std::set<const void*> mine = objectsOf(real.game), theirs = objectsOf(trial.game);
    for (const void* p : theirs) EXPECT_EQ(mine.count(p), 0u) << "an object is shared";
    trial.playUntil(1000);
    EXPECT_TRUE(simulator::over(trial.game));
    EXPECT_EQ(fingerprint(real.game), before);
}

TEST(Simulation, SimulatedMatchesLeaveTheMatchPoolAndTheMatchsRandomSequenceAlone) {
    size_t pooled = matchObjectCount();
    seedRandom(7);
    std::vector<unsigned> expected = {nextRandom(), nextRandom(), nextRandom()};
    seedRandom(7);
    {
        SimulationScope scope;
        SilentTable table;
        playMatch(&table.game, 1);
        size_t reserved = scope.arena.reservedBytes();
        for (unsigned seed = 2; seed <= 50; ++seed) playMatch(&table.game, seed);
        EXPECT_EQ(scope.arena.reservedBytes(), reserved) << "each match reuses the memory of the last";
        reclaimMatchObjects();
        EXPECT_EQ(matchObjectCount(), 0u);
    }
    EXPECT_EQ(matchObjectCount(), pooled);
    EXPECT_EQ((std::vector<unsigned>{nextRandom(), nextRandom(), nextRandom()}), expected);
}

// ---- the standard policy in the player's seat ----------------------------------------------------

int mirrored(int slot) { return slot < 2 ? 1 - slot : slot < 11 ? slot + 9 : slot - 9; }

Action mirrored(Action a) {
    if (a.kind == Action::PLAY) return Action::play(a.card, mirrored(a.slot), a.target < 0 ? -1 : mirrored(a.target));
    if (a.kind == Action::ATTACK) return Action::attack(mirrored(a.slot), mirrored(a.target));
    return a;
}

// The actions `policy` takes in a whole turn of the side to move.
std::vector<Action> turnOf(Game& game, Policy& policy) {
    std::vector<Action> taken;
    while (!game.gameEnd) {
        taken.push_back(policy.choose(game));
        simulator::apply(game, taken.back());
        if (taken.back().kind == Action::END) break;
    }
    return taken;
}

class MirroredStandard : public BoardTest {};

TEST_F(MirroredStandard, ThePlayersSeatMakesTheOpponentsChoicesOnTheMirroredBoard) {
    SilentTable silent;
    game.presenter = &silent.presenter;
    // The opponent's turn on one board, then the player's on its mirror image.
    std::vector<Action> opponents, players;
    for (bool camp : {true, false}) {
        for (int slot = 2; slot < 20; ++slot) b.c[slot] = new Character(0, slot, slot >= 11);
        auto side = [camp](int slot) { return camp ? slot : mirrored(slot); };
        put(side(11), 2, 5);
        put(side(13), 2, 5);
        put(side(4), 1, 9);
        put(side(9), 1, 9);
        put(side(6), 1, 3, TAUNT)->atkCnt = 0;
        (camp ? b.opCard : b.myCard) = {CARD_NEWBIE, CARD_HANA, CARD_NEWBIE};
        (camp ? b.opSp : b.mySp) = 5;
        b.nowTurn = camp;
        StandardPolicy standard;
        (camp ? opponents : players) = turnOf(game, standard);
    }
    ASSERT_GT(opponents.size(), 3u);
    std::vector<Action> mirror;
    for (const Action& a : opponents) mirror.push_back(mirrored(a));
    EXPECT_TRUE(players == mirror);
}

} // namespace
