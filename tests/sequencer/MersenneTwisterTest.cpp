#include "sequencer/MersenneTwister.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>

namespace vorlatek {
namespace {

// The standard library engine, loaded with the state that the 69069 seeding produces: its
// text form is the 624 state words followed by the position, and position 624 makes the
// next draw regenerate the block.
std::mt19937 referenceEngine(std::uint32_t seed) {
    std::ostringstream state;
    std::uint32_t word = seed;
    for (int i = 0; i < 624; ++i) {
        state << word << ' ';
        word *= 69069u;
    }
    state << 624;
    std::mt19937 engine;
    std::istringstream in(state.str());
    in >> engine;
    EXPECT_FALSE(in.fail());
    return engine;
}

TEST(MersenneTwisterTest, MatchesTheStandardEngineLoadedWithTheLinearSeeding) {
    for (std::uint32_t seed : {1234u, 1u, 1000000u}) {
        std::mt19937 reference = referenceEngine(seed);
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
