// The game's own 15-bit generator: range, determinism, seeding.
#include <gtest/gtest.h>

#include <set>

#include "app/random.h"

namespace {

TEST(GameRandomTest, StaysWithinFifteenBitsAndCoversThem) {
    seedGameRandom(12345);
    int lowest = 40000, highest = -1;
    std::set<int> seen;
    for (int i = 0; i < 200000; ++i) {
        const int r = gameRandom();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
        seen.insert(r);
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, 32767);
    EXPECT_GT(seen.size(), 30000u);
}

TEST(GameRandomTest, SameSeedSameSequenceOtherSeedOtherSequence) {
    seedGameRandom(7);
    std::vector<int> a;
    for (int i = 0; i < 50; ++i) a.push_back(gameRandom());
    seedGameRandom(7);
    std::vector<int> b;
    for (int i = 0; i < 50; ++i) b.push_back(gameRandom());
    seedGameRandom(8);
    std::vector<int> c;
    for (int i = 0; i < 50; ++i) c.push_back(gameRandom());
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
}

TEST(GameRandomTest, FractionReachesBothEnds) {
    seedGameRandom(1);
    bool sawZero = false, sawOne = false;
    for (int i = 0; i < 300000 && !(sawZero && sawOne); ++i) {
        const float f = gameRandomFraction();
        ASSERT_GE(f, 0.0f);
        ASSERT_LE(f, 1.0f);
        sawZero |= f == 0.0f;
        sawOne |= f == 1.0f;
    }
    EXPECT_TRUE(sawZero);
    EXPECT_TRUE(sawOne);
}

TEST(GameRandomTest, FixedSeedOverridesTheClock) {
    setFixedSeed(424242);
    EXPECT_EQ(generationSeed(), 424242u);
    clearFixedSeed();
    EXPECT_NE(generationSeed(), 424242u);
}

}  // namespace
