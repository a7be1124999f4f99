// SeedRandom and NextRandom: repeatable from a seed, 31 bits, and the headless seed hook.
#include <gtest/gtest.h>

#include <set>

#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

TEST(Random, SameSeedSameDrawsAndWithinRange) {
    plat::SeedRandom(42);
    int32_t first[16];
    for (int32_t& v : first) v = plat::NextRandom();
    plat::SeedRandom(42);
    std::set<int32_t> distinct;
    bool highHalfSeen = false;
    for (int32_t v : first) {
        EXPECT_EQ(plat::NextRandom(), v);
        EXPECT_GE(v, 0);
        distinct.insert(v);
        highHalfSeen = highHalfSeen || v > 0x3FFFFFFF;
    }
    EXPECT_GT(distinct.size(), 12u);
    EXPECT_TRUE(highHalfSeen);  // the draws use the top bits too, not just 15
    plat::SeedRandom(43);
    EXPECT_NE(plat::NextRandom(), first[0]);
}

TEST(Random, DrawsModuloSmallNumbersAreSpread) {
    plat::SeedRandom(0);
    int32_t counts[20] = {};
    for (int32_t i = 0; i < 20000; ++i) ++counts[plat::NextRandom() % 20];
    for (int32_t c : counts) {
        EXPECT_GT(c, 800);
        EXPECT_LT(c, 1200);
    }
}

TEST(Random, FixedSeedReplacesTheNextSeedOnce) {
    plat::SeedRandom(7);
    const int32_t withSeven = plat::NextRandom();
    headless::FixRandomSeed(7);
    plat::SeedRandom(123456);  // as if seeded from the clock
    EXPECT_EQ(plat::NextRandom(), withSeven);
    plat::SeedRandom(123456);
    EXPECT_NE(plat::NextRandom(), withSeven);
}

}  // namespace
