// The policies that decide for a side without a person: the standard opponent's rules (for either
// seat) and uniformly random play.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ai/strong.h"
#include "game/choices.h"
#include "game/policy.h"

class Battle;

// The opponent's standard rules: passes over the hand, playing each card it can (a minion into the
// left-most free place of its side, a spell at the first marked slot), then over its places,
// attacking with each minion that can (the enemy hero when it may be struck, else the right-most
// marked enemy), until a pass does nothing. For the player's seat the same rules, mirrored; it
// keeps its opening hand.
class StandardPolicy : public Policy {
public:
    Action choose(Game& game) override;
    int pick(Game& game, bool camp) override;

private:
    int turnSeen = -1;  // the side's turn the passes below belong to
    bool cardPhase = true;
    int next = 0;       // the hand index, or the place, looked at next
    bool acted = false; // this pass has played or attacked

    void startPass();
};

// The standard rules' pick for side camp among the marked slots: the enemy hero, then the places
// from the enemy's left, then its own places, its own hero last.
int standardPick(const Battle& battle, bool camp);

// A uniformly random legal action (the same chance for each distinct one), and a random pick.
class RandomPolicy : public Policy {
public:
    Action choose(Game& game) override;
    int pick(Game& game, bool camp) override;

private:
    std::vector<Action> actions;
};

// The policy of that name ("standard", "random", "strong" with the given budget and seed); null for
// a name that names none.
std::unique_ptr<Policy> policyNamed(const std::string& name, const StrongSettings& strong = {});

// The policy that plays the opponent chosen before the game, as the game plays it on the screen;
// null for the standard opponent, which its AI plays by its own rules.
std::unique_ptr<Policy> opponentPolicy(Opponent opponent);
