#include "sequencer/MersenneTwister.h"

#include "LinearSeededEngine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace vorlatek {
namespace {

TEST(MersenneTwisterTest, MatchesTheStandardEngineLoadedWithTheLinearSeeding) {
    for (std::uint32_t seed : {1234u, 1u, 1000000u}) {
        std::mt19937 reference = test::linearSeededEngine(seed);
        MersenneTwister generator(seed);
        // Past two blocks, so that regeneration is covered too.
        for (int i = 0; i < 1500; ++i) ASSERT_EQ(generator.next(), reference()) << "seed " << seed << " draw " << i;
    }
}

TEST(MersenneTwisterTest, ReseedingRestartsTheSequence) {
    MersenneTwister generator(77);
    const std::uint32_t first = generator.next();
    const std::uint32_t second = generator.next();
    generator.seed(77);
    EXPECT_EQ(generator.next(), first);
    EXPECT_EQ(generator.next(), second);
    generator.seed(78);
    EXPECT_NE(generator.next(), first);
}

}  // namespace
}  // namespace vorlatek
