#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "game/random.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace headless = platform::headless;

TEST(RandomPicks, ASeedReplaysAndTheMatchSeedComesFromThePlatform) {
    headless::enable();
    headless::setSeed(4711);
    seedMatchRandom();
    std::vector<unsigned> first;
    for (int i = 0; i < 5; ++i) first.push_back(nextRandom());
    seedRandom(4711);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(nextRandom(), first[i]);
    seedRandom(4712);
    EXPECT_NE(nextRandom(), first[0]);
}

TEST(RandomPicks, ShufflesArePermutationsAndPicksAreFair) {
    seedRandom(7);
    std::vector<int> deck(34);
    std::iota(deck.begin(), deck.end(), 0);
    std::vector<int> shuffled = deck;
    randomShuffle(shuffled);
    EXPECT_NE(shuffled, deck);
    std::sort(shuffled.begin(), shuffled.end());
    EXPECT_EQ(shuffled, deck);

    std::vector<int> single{42};
    randomShuffle(single);
    EXPECT_EQ(randomPick(single), 42);

    // Every candidate (and every position of the shuffle) is equally likely.
    const int rounds = 60000;
    std::vector<int> picked(4), firstOf(4);
    for (int i = 0; i < rounds; ++i) {
        ++picked[randomPick(std::vector<int>{0, 1, 2, 3})];
        std::vector<int> order{0, 1, 2, 3};
        randomShuffle(order);
        ++firstOf[order[3]];
    }
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(picked[k], rounds / 4, rounds / 40) << k;
        EXPECT_NEAR(firstOf[k], rounds / 4, rounds / 40) << k;
    }
}
