// Whole matches from startBattle, played by a scripted player that clicks where a person would,
// against the real opponent; every presented frame is checked.
#include <gtest/gtest.h>

#include <vector>

#include "card/card.h"
#include "game/driver.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/surface.h"
#include "support/game_window.h"
#include "support/scripted_player.h"
#include "support/test_catalogue.h"

namespace headless = platform::headless;
using testing_support::MatchRecord;
using testing_support::PlayerStyle;
using testing_support::ScriptedPlayer;

namespace {

std::string faultsOf(const MatchRecord& r) {
    std::string all;
    for (const std::string& f : r.faults) all += f + "\n";
    return all;
}

class Match : public testing_support::GameWindowTest {
protected:
    void SetUp() override { open(0.5); }

    MatchRecord play(PlayerStyle style, unsigned seed, std::function<void(Game&)> onTurn = nullptr) {
        headless::setSeed(seed);
        ScriptedPlayer player(game, style);
        if (onTurn) player.onTurnStart(onTurn);
        player.attach();
        startBattle(&game);
        player.detach();
        return player.record();
    }

    static PlayerStyle passive() {
        PlayerStyle s;
        s.playCards = false;
        s.attack = false;
        return s;
    }
};

TEST_F(Match, APlayerWhoOnlyEndsTurnsLosesToTheOpponent) {
    for (unsigned seed : {1u, 2u, 3u}) {
        MatchRecord r = play(passive(), seed);
        EXPECT_TRUE(r.faults.empty()) << faultsOf(r);
        EXPECT_TRUE(r.lost) << "seed " << seed;
        EXPECT_FALSE(r.won);
        EXPECT_TRUE(game.gameEnd);
        EXPECT_LT(game.battle.c[0]->nowhp, 1);
        EXPECT_GT(game.battle.c[1]->nowhp, 0);
        for (int slot = 2; slot <= 10; ++slot) EXPECT_EQ(game.battle.c[slot]->id, 0) << "the player summoned nothing";
    }
}

TEST_F(Match, ManySeedsPlayedInFullKeepEveryFrameSound) {
    PlayerStyle style;
    int wins = 0, losses = 0;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        style.exchange = (PlayerStyle::Exchange)(seed % 3);
        MatchRecord r = play(style, seed);
        ASSERT_TRUE(r.faults.empty()) << "seed " << seed << "\n" << faultsOf(r);
        EXPECT_NE(r.won, r.lost) << "seed " << seed << ": one hero fell";
        EXPECT_GT(r.frames, 100);
        wins += r.won;
        losses += r.lost;
    }
    EXPECT_GT(wins, 0) << "a player who plays and attacks beats the opponent sometimes";
    EXPECT_EQ(wins + losses, 12);
}

TEST_F(Match, APlayerWhoPlaysAndAttacksWins) {
    MatchRecord r = play(PlayerStyle{}, 1);
    ASSERT_TRUE(r.faults.empty()) << faultsOf(r);
    EXPECT_TRUE(r.won);
    EXPECT_LT(game.battle.c[1]->nowhp, 1);
    EXPECT_GT(game.battle.c[0]->nowhp, 0);
    // The win picture was on screen at the end: the last frame shows it in the middle.
    EXPECT_EQ(headless::pixel(378, 256), testing_support::colourOf("win"));
}

TEST_F(Match, OpeningHandsTheExchangeAndTheFirstTurns) {
    for (PlayerStyle::Exchange exchange : {PlayerStyle::KEEP_ALL, PlayerStyle::EXCHANGE_ALL}) {
        PlayerStyle style = passive();
        style.exchange = exchange;
        std::vector<int> openingIds, opponentIds, firstTurn;
        bool seenExchange = false;
        headless::setSeed(5);
        ScriptedPlayer player(game, style);
        player.onTurnStart([&](Game& g) {
            if (g.battle.turn != 1) return;
            for (Card* c : g.battle.myCard) firstTurn.push_back(c->id);
            EXPECT_EQ(g.battle.mySp, 1);
            EXPECT_EQ(g.battle.mySpMax, 1);
            EXPECT_EQ(g.battle.myCard.size() + g.battle.myDeck.size(), 34u) << "no card is lost in the exchange";
        });
        player.attach();
        // Watch the hands when the exchange begins (the player's decisions come later).
        headless::setFlushObserver([&] {
            if (game.status == CHANGECARD && !seenExchange) {
                seenExchange = true;
                for (Card* c : game.battle.myCard) openingIds.push_back(c->id);
                for (Card* c : game.battle.opCard) opponentIds.push_back(c->id);
            }
        });
        startBattle(&game);
        player.detach();
        EXPECT_EQ(openingIds, (std::vector<int>{14, 13, 12, 11}));
        EXPECT_EQ(opponentIds, (std::vector<int>{10, 10, 10, 10}));
        ASSERT_EQ(firstTurn.size(), 5u);
        if (exchange == PlayerStyle::KEEP_ALL) {
            EXPECT_EQ(std::vector<int>(firstTurn.begin(), firstTurn.begin() + 4), openingIds) << "kept as dealt";
        }
        reclaimMatchObjects();
    }
}

// The decks are emptied early and the player's hero holds out: turns go on without draws and mana
// stops growing at ten.
TEST_F(Match, ManaGrowsToTenAndEmptyDecksOnlyStopTheDraws) {
    std::vector<int> capacity, handSizes;
    MatchRecord r = play(passive(), 9, [&](Game& g) {
        Battle& b = g.battle;
        if (b.turn == 2) {
            b.myDeck.resize(1);
            b.opDeck.resize(1);
        }
        capacity.push_back(b.mySpMax);
        handSizes.push_back((int)b.myCard.size());
        EXPECT_EQ(b.opSpMax, std::min(b.turn - 1, 10)) << "the opponent has had one turn fewer";
        // Keep the hero alive until the twelfth turn, then let it fall.
        b.c[0]->hp = b.c[0]->nowhp = b.turn < 12 ? 1000 : 1;
    });
    ASSERT_TRUE(r.faults.empty()) << faultsOf(r);
    EXPECT_TRUE(r.lost);
    ASSERT_GE(capacity.size(), 12u);
    for (size_t t = 0; t < capacity.size(); ++t) EXPECT_EQ(capacity[t], std::min((int)t + 1, 10)) << "turn " << t + 1;
    EXPECT_TRUE(game.battle.myDeck.empty());
    EXPECT_TRUE(game.battle.opDeck.empty());
    for (size_t t = 3; t < handSizes.size(); ++t) EXPECT_EQ(handSizes[t], handSizes[2]) << "no more draws";
}

// Spent minions stand in the right-most place of each side (10 and 19). Each is looked at in the
// first frame after its side's turn has begun (the player's first waiting frame; the frame drawn
// before the opponent moves) and spent again there, so neither ever acts.
TEST_F(Match, TurnStartGivesTheAttackBackUpToEachSidesLastPlace) {
    std::vector<int> playerReady, opponentReady; // one per turn start: 1 when the last place may attack
    int playerTurn = 0, opponentTurn = 0;       // the last turn start seen on each side
    headless::setSeed(4);
    ScriptedPlayer player(game, passive());
    player.attach();
    headless::setFlushObserver([&] {
        Battle& b = game.battle;
        bool playerBegun = !b.nowTurn && game.status == FREE && b.turn != playerTurn;
        bool opponentBegun = b.nowTurn && game.status == DISABLE && b.turn != opponentTurn;
        if (game.gameEnd || (!playerBegun && !opponentBegun)) return;
        if (playerBegun && b.turn == 1)
            for (int slot : {10, 19}) b.c[slot] = new Minion(10, "c_newbie", slot, slot >= 11, 1, 0, 1000);
        else if (playerBegun)
            playerReady.push_back(b.c[10]->canAtk(&game));
        else
            opponentReady.push_back(b.c[19]->canAtk(&game));
        (playerBegun ? playerTurn : opponentTurn) = b.turn;
        b.c[10]->atkCnt = b.c[19]->atkCnt = 0;
    });
    startBattle(&game);
    player.detach();
    ASSERT_GE(playerReady.size(), 2u) << "the match lasts a few turns";
    EXPECT_EQ(playerReady, std::vector<int>(playerReady.size(), 1)) << "place 10 at the player's turn starts";
    EXPECT_EQ(opponentReady, std::vector<int>(opponentReady.size(), 1)) << "place 19 at the opponent's turn starts";
}

TEST_F(Match, ASecondMatchInTheSameGameStartsCompletelyFresh) {
    MatchRecord first = play(PlayerStyle{}, 1);
    ASSERT_TRUE(first.won || first.lost);
    size_t afterFirst = matchObjectCount();
    std::vector<std::string> freshness;
    bool checked = false;
    headless::setSeed(2);
    ScriptedPlayer player(game, PlayerStyle{});
    player.attach();
    headless::setFlushObserver([&] {
        if (checked) return;
        checked = true;
        Battle& b = game.battle;
        EXPECT_FALSE(game.gameEnd);
        EXPECT_EQ(b.turn, 0);
        EXPECT_EQ(b.c[0]->nowhp, 30);
        EXPECT_EQ(b.c[1]->nowhp, 30);
        for (int slot = 2; slot < 20; ++slot) EXPECT_EQ(b.c[slot]->id, 0);
        EXPECT_EQ(b.myDeck.size() + b.myCard.size(), 34u);
        EXPECT_EQ(b.opDeck.size() + b.opCard.size(), 30u);
        // Only the new match's heroes, places and cards are alive: the first match was given back.
        EXPECT_EQ(matchObjectCount(), 20u + 64u);
    });
    startBattle(&game);
    player.detach();
    EXPECT_TRUE(checked);
    EXPECT_GT(afterFirst, 84u);
}

} // namespace
