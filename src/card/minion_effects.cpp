// The six special minions' effects.
#include <vector>

#include "card/card.h"
#include "game/game.h"
#include "game/random.h"

namespace {

constexpr int CLAUDE_ID = 1201;

} // namespace

std::vector<int> enemySlots(bool camp) {
    std::vector<int> slots{heroSlot(!camp)};
    for (int slot = firstPlace(!camp); slot < firstPlace(!camp) + 9; ++slot) slots.push_back(slot);
    return slots;
}

// Claude's is the only battle cry that asks for a target.
bool asksForTarget(const Card& card) { return card.id == CLAUDE_ID; }

std::vector<int> battleCryCandidates(const Card& card, bool camp) {
    return asksForTarget(card) ? enemySlots(camp) : std::vector<int>{};
}

void Minion_Hana::deathRattle(Game* game) {
    if (!(special & REVIVE)) {
        Minion::deathRattle(game);
        return;
    }
    nowhp = 1;
    special -= REVIVE;
    if (!(special & IMMUNE)) special += IMMUNE;
    immuneLast = 1;
}

void Minion_Hana::endOfTurn(Game*) {
    if (immuneLast <= 0) return;
    --immuneLast;
    if (immuneLast == 0 && (special & IMMUNE)) special -= IMMUNE;
}

void Minion_Priscilla::battleCry(Game* game) { game->battle.getCard(game, CARD_CLAUDE, camp, pos); }

void Minion_Claude::battleCry(Game* game) {
    int to = setTarget(game, enemySlots(camp), camp);
    if (to != -1) attack(game, to, false, false, true, 9);
}

void Minion_FPrincess::endOfMyTurn(Game*) { special |= SHIELD; }

void Minion_Ara::battleCry(Game* game) {
    Battle& b = game->battle;
    int first = firstPlace(camp);
    for (int n = 0; n < 4; ++n) {
        std::vector<int> free;
        for (int slot = first; slot < first + 9; ++slot)
            if (b.c[slot]->id == 0) free.push_back(slot);
        if (free.empty()) return;
        CARD_ARA_TENTACLE->genMinion(game, randomPick(free), camp);
    }
}

void Minion_Ara_Tentacle::endOfMyTurn(Game* game) {
    Battle& b = game->battle;
    std::vector<int> candidates;
    for (int slot : enemySlots(camp))
        if (b.c[slot]->canBecomeTarget(game, camp, 2)) candidates.push_back(slot);
    if (candidates.empty()) return;
    attack(game, randomPick(candidates), false, false, true, 3);
}
