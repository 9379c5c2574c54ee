#pragma once
// The standard library's MT19937 loaded with the state that the linear 69069 seeding
// produces, as an independent reference for the pattern generator: its text form is the
// 624 state words followed by the position, and position 624 makes the next draw
// regenerate the block.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>

namespace vorlatek::test {

inline std::mt19937 linearSeededEngine(std::uint32_t seed) {
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

}  // namespace vorlatek::test
