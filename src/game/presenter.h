// What a match shows and what it asks of the player while its rules run. The rules tell the match's
// presenter each moment as it happens and wait for it to return; they never draw, sleep or read
// input themselves. The game window's presenter draws and waits exactly as the game always has;
// the silent one shows nothing and answers for the player from a policy, so that a match can run as
// fast as its rules.
#pragma once

class Card;
class Game;
class Policy;

class Presenter {
public:
    virtual ~Presenter() = default;

    // ---- moments (nothing to show by default) ----
    // The top card of camp's deck is about to move into its hand.
    virtual void cardDrawn(Game*, bool /*camp*/) {}
    // A new card is about to join camp's hand, given by the character in slot fromSlot.
    virtual void cardGiven(Game*, bool /*camp*/, int /*fromSlot*/) {}
    // camp is about to play a card at slot (its place, or its target) by its own choice.
    virtual void cardPlayed(Game*, bool /*camp*/, int /*slot*/) {}
    // The character in slot `from` is about to attack the one in slot `to` by its side's choice.
    virtual void attackChosen(Game*, int /*from*/, int /*to*/) {}
    // A strike is about to land on the character in slot.
    virtual void struck(Game*, int /*slot*/) {}
    // The character in slot is about to be healed.
    virtual void healed(Game*, int /*slot*/) {}
    // The board has changed: show it as it stands.
    virtual void redraw(Game*) {}
    // The opponent casts `spell`: the player sees it and acknowledges it before it takes effect.
    virtual void spellCast(Game*, Card& /*spell*/) {}
    // A hero has fallen: the result, until the player dismisses it.
    virtual void matchOver(Game*, bool /*won*/) {}

    // ---- the player's part ----
    // The opening exchange (status CHANGECARD): marks the cards to give back (Card::changed) and
    // returns once the exchange is done (status DISABLE).
    virtual void openingExchange(Game* game) = 0;
    // The player's turn: returns once the turn is handed over (nowTurn true) or the match is over.
    virtual void playerTurn(Game* game) = 0;
    // The player's pick among the marked slots (a battle cry's target); -1 when the match ended
    // before one was made.
    virtual int playerPick(Game* game) = 0;
};

// The game window's presenter (defined with the drawing): animations, redraws, the end screens and
// the player's clicks, exactly as the game shows them.
Presenter& screenPresenter();

// Shows nothing; the player's part is played by `player`. A match that reaches `turnLimit` full
// turns (0: no limit) is stopped there undecided, as a policy pair may never end one.
class SilentPresenter : public Presenter {
public:
    explicit SilentPresenter(Policy& player, int turnLimit = 0) : player(player), turnLimit(turnLimit) {}
    void openingExchange(Game* game) override;
    void playerTurn(Game* game) override;
    int playerPick(Game* game) override;

private:
    Policy& player;
    int turnLimit;
};

// The answer to a pick of side camp among the marked slots: the target decided with the action
// that caused it when there is one, else the opponent's (its AI's rule) or the player's (the
// presenter's).
int pickTarget(Game* game, bool camp);
