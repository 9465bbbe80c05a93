// One fresh card of every catalogue definition, in catalogue order.
#pragma once

#include <initializer_list>
#include <memory>
#include <vector>

#include "card/card.h"

namespace testing_support {

inline std::vector<std::unique_ptr<Card>> catalogueCards() {
    std::vector<std::unique_ptr<Card>> cards;
    for (Card* c : std::initializer_list<Card*>{CARD_NEWBIE, CARD_HANA, CARD_PRISCILLA, CARD_CLAUDE, CARD_FPRINCESS,
                                                CARD_ARA, CARD_ARA_TENTACLE, CARD_HIT})
        cards.emplace_back(c);
    return cards;
}

} // namespace testing_support
