// A side's decisions as actions of the simulator, and the policies that choose them.
#pragma once

class Game;

// One decision of the side to move. Plain data: a search keeps many of them.
struct Action {
    enum Kind : unsigned char { END, PLAY, ATTACK, EXCHANGE };
    Kind kind = END;
    signed char card = -1;   // PLAY: the card's index in the hand
    signed char slot = -1;   // PLAY: the place of a minion or the target of a spell; ATTACK: the attacker
    signed char target = -1; // PLAY: the battle cry's target, for a card that asks one; ATTACK: the struck slot
    unsigned char mask = 0;  // EXCHANGE: bit i gives back hand card i

    static Action end() { return {}; }
    static Action play(int card, int slot, int target = -1) {
        return {PLAY, (signed char)card, (signed char)slot, (signed char)target, 0};
    }
    static Action attack(int from, int to) { return {ATTACK, -1, (signed char)from, (signed char)to, 0}; }
    static Action exchange(unsigned mask) { return {EXCHANGE, -1, -1, -1, (unsigned char)mask}; }
    bool operator==(const Action&) const = default;
};

// Chooses for the side to move. A policy is asked again after each of its actions has been
// applied, until it ends the turn; it may keep what it needs between the calls of one turn.
class Policy {
public:
    virtual ~Policy() = default;
    // The next action of the side to move; a turn ends with END, the opening exchange with an
    // EXCHANGE. Only legal actions.
    virtual Action choose(Game& game) = 0;
    // A pick of side camp among the marked slots, when the action that caused it planned none.
    virtual int pick(Game& game, bool camp) = 0;
};
