#pragma once
// The 32-bit Mersenne Twister (MT19937) that drives random pattern generation. Seeding uses
// the original linear scheme (each state word is the previous one times 69069), so a seed
// always reproduces the same sequence of patterns.

#include <cstdint>

namespace vorlatek {

class MersenneTwister {
public:
    static constexpr int kStateSize = 624;

    explicit MersenneTwister(std::uint32_t seedValue = 1234) { seed(seedValue); }

    // word 0 = s, word i = word i-1 * 69069 (mod 2^32); the next draw regenerates the block.
    void seed(std::uint32_t s);
    // The next tempered 32-bit value.
    std::uint32_t next();

private:
    void regenerate();

    std::uint32_t state_[kStateSize];
    int index_ = kStateSize;
};

}  // namespace vorlatek
