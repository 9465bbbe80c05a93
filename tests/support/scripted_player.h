// A scripted player for whole matches on the headless backend: it looks at the game whenever the
// game sleeps, and clicks where a person would (hand cards, board places, minions, the buttons),
// holding the button until the game's click loop has seen it. It presses space on the end screen.
#pragma once

#include <functional>
#include <string>
#include <vector>

class Game;

namespace testing_support {

struct PlayerStyle {
    enum Exchange { KEEP_ALL, EXCHANGE_ALL, EXCHANGE_EVEN } exchange = KEEP_ALL;
    bool playCards = true;   // plays the left-most playable card into the left-most free place
    bool attack = true;      // attacks with every minion that may, the hero first when it is open
    int actionsPerTurn = 40; // then ends the turn whatever is left
};

struct MatchRecord {
    int frames = 0;
    int turns = 0;
    int clicks = 0;
    bool won = false;  // the last match
    bool lost = false;
    int matchesStarted = 0; // from the lobby
    int wins = 0, losses = 0;
    std::vector<std::string> faults; // broken invariants, one line each, first ones only
};

class ScriptedPlayer {
public:
    ScriptedPlayer(Game& game, PlayerStyle style);
    ~ScriptedPlayer();

    // Installs the callback and the frame observer; every frame's state is checked.
    void attach();
    void detach();

    // Runs something before the player's first decision of each turn (tests use it to change the
    // match, for instance to empty the decks).
    void onTurnStart(std::function<void(Game&)> hook) { turnStartHook = std::move(hook); }
    // The match is abandoned (an exception is thrown from the game) after this much virtual time.
    void setTimeLimit(long long ms) { timeLimit = ms; }
    // Plays from the lobby (which must be drawn with the solid test catalogue): presses the
    // adventure button whenever the lobby waits, `matches` times, then closes the window.
    void useLobby(int matches) { lobbyMatches = matches; }

    const MatchRecord& record() const { return rec; }

private:
    Game& game;
    PlayerStyle style;
    MatchRecord rec;
    std::function<void(Game&)> turnStartHook;
    long long timeLimit = 6LL * 3600 * 1000;

    int lobbyMatches = 0;
    bool pressed = false;
    bool endScreenSeen = false;
    bool lastWasButtonPoll = false;
    int lastTurnSeen = -1;
    int actionsThisTurn = 0;
    std::vector<int> gaveUpAttackers;

    void onOccasion();
    void onFrame();
    void decide();
    bool lobbyShown() const;
    void startMatchFromLobby();
    void click(int refX, int refY);
    void fault(const std::string& what);
};

} // namespace testing_support
