#include "sequencer/MersenneTwister.h"

namespace vorlatek {

namespace {
constexpr int kShift = 397;
constexpr std::uint32_t kMatrixA = 0x9908B0DFu;
constexpr std::uint32_t kUpperMask = 0x80000000u;
constexpr std::uint32_t kLowerMask = 0x7FFFFFFFu;

std::uint32_t twist(std::uint32_t upper, std::uint32_t lower, std::uint32_t far) {
    const std::uint32_t y = (upper & kUpperMask) | (lower & kLowerMask);
    return far ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
}
}  // namespace

void MersenneTwister::seed(std::uint32_t s) {
    state_[0] = s;
    for (int i = 1; i < kStateSize; ++i) state_[i] = state_[i - 1] * 69069u;
    index_ = kStateSize;
}

void MersenneTwister::regenerate() {
    for (int i = 0; i < kStateSize; ++i)
        state_[i] = twist(state_[i], state_[(i + 1) % kStateSize], state_[(i + kShift) % kStateSize]);
    index_ = 0;
}

std::uint32_t MersenneTwister::next() {
    if (index_ >= kStateSize) regenerate();
    std::uint32_t y = state_[index_++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

}  // namespace vorlatek
