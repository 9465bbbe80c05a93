#include "platform/headless/headless.h"
#include "support/scripted_player.h"

#include <algorithm>
#include <stdexcept>

#include "card/card.h"
#include "game/game.h"
#include "platform/platform.h"
#include "render/layout.h"
#include "support/test_catalogue.h"

namespace headless = platform::headless;

namespace testing_support {

namespace {

constexpr LayoutPoint TURN_BUTTON{1221, 512}; // middle of the 178-unit square from (1132, 448)
constexpr LayoutPoint LOBBY_BUTTON{970, 530};  // middle of the adventure button from (870, 430)

LayoutPoint cardCentre(int index) { return {CardPos[index].x + 41, CardPos[index].y + 56}; }

int firstMarked(const Battle& b, int preferred) {
    if (preferred >= 0 && b.canAsTarget[preferred]) return preferred;
    for (int i = 0; i < 20; ++i)
        if (b.canAsTarget[i]) return i;
    return -1;
}

} // namespace

ScriptedPlayer::ScriptedPlayer(Game& g, PlayerStyle s) : game(g), style(s) {}

ScriptedPlayer::~ScriptedPlayer() { detach(); }

void ScriptedPlayer::attach() {
    headless::setCallback([this] { onOccasion(); });
    headless::setFlushObserver([this] { onFrame(); });
}

void ScriptedPlayer::detach() {
    headless::setCallback(nullptr);
    headless::setFlushObserver(nullptr);
}

void ScriptedPlayer::fault(const std::string& what) {
    if (rec.faults.size() < 20) rec.faults.push_back("frame " + std::to_string(rec.frames) + ": " + what);
}

void ScriptedPlayer::click(int refX, int refY) {
    headless::setPointer((int)(refX * game.rate), (int)(refY * game.rate));
    headless::setKey(platform::VK_LBUTTON, true);
    pressed = true;
    ++rec.clicks;
    ++actionsThisTurn;
}

void ScriptedPlayer::onOccasion() {
    headless::Occasion o = headless::occasion();
    if (headless::clock() > timeLimit) throw std::runtime_error("the match did not end in time");
    bool buttonPoll = o.kind == headless::Occasion::KEY_POLL && o.vk == platform::VK_LBUTTON;
    if (o.kind == headless::Occasion::KEY_POLL && o.vk == platform::VK_SPACE) {
        // Only the end screen waits for space.
        headless::setKey(platform::VK_SPACE, true);
        rec.won = game.battle.c[1]->nowhp < 1;
        rec.lost = game.battle.c[0]->nowhp < 1;
        if (!endScreenSeen) {
            endScreenSeen = true;
            rec.wins += rec.won;
            rec.losses += rec.lost;
        }
    } else if (game.gameEnd) {
        headless::setKey(platform::VK_SPACE, false);
    }
    if (pressed) {
        // Two button polls in a row: the game is waiting for the release of this click.
        if ((buttonPoll && lastWasButtonPoll) || o.kind == headless::Occasion::SLEEP) {
            headless::setKey(platform::VK_LBUTTON, false);
            pressed = false;
        }
        lastWasButtonPoll = buttonPoll;
        return;
    }
    lastWasButtonPoll = buttonPoll;
    if (buttonPoll && lobbyMatches > 0 && lobbyShown()) return startMatchFromLobby();
    if (o.kind == headless::Occasion::SLEEP && !game.gameEnd) decide();
}

bool ScriptedPlayer::lobbyShown() const {
    auto at = [this](int x, int y) { return headless::pixel((int)(x * game.rate), (int)(y * game.rate)); };
    return at(4, 4) == colourOf("lobby") && at(880, 440) == colourOf("b_adv");
}

void ScriptedPlayer::startMatchFromLobby() {
    if (rec.matchesStarted == lobbyMatches) {
        headless::closeWindow();
        return;
    }
    ++rec.matchesStarted;
    lastTurnSeen = -1;
    endScreenSeen = false;
    headless::setKey(platform::VK_SPACE, false);
    click(LOBBY_BUTTON.x, LOBBY_BUTTON.y);
}

void ScriptedPlayer::decide() {
    Battle& b = game.battle;
    switch (game.status) {
    case CHANGECARD: {
        for (int i = 0; i < (int)b.myCard.size(); ++i) {
            bool want = style.exchange == PlayerStyle::EXCHANGE_ALL ||
                        (style.exchange == PlayerStyle::EXCHANGE_EVEN && i % 2 == 0);
            if (b.myCard[i]->changed != want) return click(cardCentre(i).x, cardCentre(i).y);
        }
        return click(TURN_BUTTON.x, TURN_BUTTON.y);
    }
    case FREE: {
        if (b.nowTurn) return;
        if (b.turn != lastTurnSeen) {
            lastTurnSeen = b.turn;
            actionsThisTurn = 0;
            gaveUpAttackers.clear();
            ++rec.turns;
            if (turnStartHook) turnStartHook(game);
        }
        if (actionsThisTurn < style.actionsPerTurn) {
            if (style.playCards)
                for (int i = 0; i < (int)b.myCard.size() && i < 8; ++i)
                    if (b.myCard[i]->canUse(&game, false)) return click(cardCentre(i).x, cardCentre(i).y);
            if (style.attack)
                for (int slot = 2; slot <= 10; ++slot)
                    if (b.c[slot]->canAtk(&game) &&
                        std::find(gaveUpAttackers.begin(), gaveUpAttackers.end(), slot) == gaveUpAttackers.end())
                        return click(CharPos[slot].x, CharPos[slot].y);
        }
        return click(TURN_BUTTON.x, TURN_BUTTON.y);
    }
    case USECARD:
        for (int slot = 2; slot <= 10; ++slot)
            if (b.c[slot]->id == 0) return click(CharPos[slot].x, CharPos[slot].y);
        if (game.cardChosen >= 0 && game.cardChosen < 8)
            return click(cardCentre(game.cardChosen).x, cardCentre(game.cardChosen).y);
        return;
    case SETTARGET: {
        int slot = firstMarked(b, 1);
        if (slot >= 0) click(CharPos[slot].x, CharPos[slot].y);
        return;
    }
    case ATKCARD: {
        int slot = firstMarked(b, 1);
        if (slot >= 0) return click(CharPos[slot].x, CharPos[slot].y);
        if (game.atkFrom >= 0) {
            // Nothing to strike: take the attacker back and leave it alone this turn.
            gaveUpAttackers.push_back(game.atkFrom);
            return click(CharPos[game.atkFrom].x, CharPos[game.atkFrom].y);
        }
        return;
    }
    default:
        return;
    }
}

void ScriptedPlayer::onFrame() {
    if (lobbyMatches > 0 && lobbyShown()) return; // between matches
    ++rec.frames;
    const Battle& b = game.battle;
    if (game.status < DISABLE || game.status > SETTARGET) fault("status " + std::to_string(game.status));
    for (int i = 0; i < 20; ++i) {
        const Character* ch = b.c[i];
        if (!ch) {
            fault("slot " + std::to_string(i) + " holds no object");
            continue;
        }
        if (ch->pos != i) fault("slot " + std::to_string(i) + " holds a character of slot " + std::to_string(ch->pos));
        if (ch->camp != (i == 1 || i >= 11)) fault("slot " + std::to_string(i) + " holds the other side's character");
        bool choosing = game.status == ATKCARD || game.status == SETTARGET;
        if (choosing && b.canAsTarget[i] && ch->id == 0) fault("empty slot " + std::to_string(i) + " is marked");
    }
    if (b.c[0] && b.c[0]->id != 1) fault("slot 0 is not the player's hero");
    if (b.c[1] && b.c[1]->id != 2) fault("slot 1 is not the opponent's hero");
    if (game.status == ATKCARD && game.atkFrom >= 2)
        for (int i = 0; i < 20; ++i)
            if (b.canAsTarget[i] && !(i == 1 || i >= 11)) fault("an attack may strike own slot " + std::to_string(i));
    if (b.myCard.size() > 8 || b.opCard.size() > 8) fault("a hand holds more than 8 cards");
    for (int v : {b.mySp, b.opSp, b.mySpMax, b.opSpMax})
        if (v < 0 || v > 10) fault("mana " + std::to_string(v));
    if (b.mySp > b.mySpMax || b.opSp > b.opSpMax) fault("more mana than crystals");
}

} // namespace testing_support
