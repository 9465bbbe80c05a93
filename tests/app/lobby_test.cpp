// The lobby: its picture and button, a press that starts a match at once, and the way back.
#include <gtest/gtest.h>

#include "ai/policies.h"
#include "card/card.h"
#include "game/game.h"
#include "app/lobby.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/surface.h"
#include "support/game_window.h"
#include "support/scripted_player.h"
#include "support/test_catalogue.h"

namespace headless = platform::headless;
using testing_support::colourOf;
using testing_support::PlayerStyle;
using testing_support::ScriptedPlayer;

namespace {

class Lobby : public testing_support::GameWindowTest {
protected:
    void SetUp() override { open(0.75); }
};

TEST_F(Lobby, WaitsUntilTheButtonIsPressedInsideItsBox) {
    int polls = 0;
    headless::setCallback([&] {
        ++polls;
        if (polls == 1) {
            EXPECT_EQ(at(4, 4), colourOf("lobby"));
            EXPECT_EQ(at(880, 440), colourOf("b_adv")) << "the button's picture at (870, 430)";
            EXPECT_EQ(headless::flushCount(), 1);
        }
        if (polls < 2000) {
            headless::setPointer((int)(970 * game.rate), (int)(530 * game.rate)); // over the button, no press
        } else if (polls < 4000) {
            headless::setPointer((int)(860 * game.rate), (int)(530 * game.rate)); // left of it, pressed
            headless::setKey(platform::VK_LBUTTON, true);
        } else {
            headless::closeWindow();
        }
    });
    EXPECT_THROW(runLobby(game), platform::WindowClosed);
    EXPECT_EQ(headless::sleepCount(), 0) << "no match started";
    EXPECT_EQ(headless::flushCount(), 1) << "the lobby is drawn once and then only polled";
}

TEST_F(Lobby, APressStartsTheMatchAtOnceWhileTheButtonIsStillHeld) {
    bool sawMatch = false, heldAtStart = false;
    headless::setCallback([&] {
        headless::Occasion o = headless::occasion();
        if (o.kind == headless::Occasion::SLEEP) {
            // The first sleep is the first dealing animation of the match.
            sawMatch = true;
            heldAtStart = platform::keyDown(platform::VK_LBUTTON);
            headless::closeWindow();
            return;
        }
        headless::setPointer((int)(1060 * game.rate), (int)(620 * game.rate)); // the square's far corner
        headless::setKey(platform::VK_LBUTTON, true);
    });
    EXPECT_THROW(runLobby(game), platform::WindowClosed);
    EXPECT_TRUE(sawMatch);
    EXPECT_TRUE(heldAtStart) << "no release is needed";
    EXPECT_FALSE(game.gameEnd);
    EXPECT_EQ(game.battle.c[0]->id, 1) << "the match had been set up";
}

TEST_F(Lobby, AfterTheEndScreenTheLobbyReturnsAndAPressStartsAFreshMatch) {
    ScriptedPlayer player(game, PlayerStyle{});
    player.useLobby(2);
    player.attach();
    headless::setSeed(1);
    EXPECT_THROW(runLobby(game), platform::WindowClosed);
    player.detach();
    const auto& r = player.record();
    EXPECT_TRUE(r.faults.empty()) << r.faults.front();
    EXPECT_EQ(r.matchesStarted, 2);
    EXPECT_EQ(r.wins + r.losses, 2) << "both matches were played to the end screen";
    // The window closed in the lobby, drawn again after the second match.
    EXPECT_EQ(at(4, 4), colourOf("lobby"));
    EXPECT_TRUE(game.gameEnd);
}

// The strong opponent, as the game plays it when it is chosen: a whole match from the lobby to the
// end screen and back, every frame sound, and not the match the standard opponent plays.
TEST_F(Lobby, AgainstTheStrongOpponentAMatchRunsFromTheLobbyToTheEndScreenAndBack) {
    std::vector<testing_support::MatchRecord> records;
    for (Opponent chosen : {Opponent::STANDARD, Opponent::STRONG}) {
        open(0.75); // a window again: the last run ended by closing it
        headless::setSeed(4);
        std::unique_ptr<Policy> opponent = opponentPolicy(chosen);
        game.opponent = opponent.get();
        ScriptedPlayer player(game, PlayerStyle{});
        player.useLobby(1);
        player.attach();
        EXPECT_THROW(runLobby(game), platform::WindowClosed);
        player.detach();
        records.push_back(player.record());
        const auto& r = records.back();
        EXPECT_TRUE(r.faults.empty()) << r.faults.front();
        EXPECT_EQ(r.wins + r.losses, 1) << "played to the end screen";
        EXPECT_EQ(at(4, 4), colourOf("lobby"));
    }
    EXPECT_NE(records[0].frames, records[1].frames) << "the strong opponent chose otherwise";
}

} // namespace
