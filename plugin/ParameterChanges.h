#pragma once
// Which parameters changed since the audio thread last looked: one bit per parameter, set
// from any thread, taken by the audio thread at the start of a block, which then hands the
// new values to the engine. The 58 sound parameters of a preset share one word, so a
// program change marks all of them in one step and the engine gets the new sound whole.

#include "engine/ParameterIndex.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace vorlatek {

class ParameterChanges {
public:
    static_assert(param::kPresetCount <= 64, "the sound of a preset fits one word");

    void mark(int index) {
        if (index >= 0 && index < param::kCount)
            words_[static_cast<std::size_t>(index / 64)].fetch_or(bit(index), std::memory_order_release);
    }
    void markPreset() { words_[0].fetch_or((std::uint64_t{1} << param::kPresetCount) - 1, std::memory_order_release); }

    // Calls f(index) for every marked parameter and unmarks it.
    template <class F>
    void take(F&& f) {
        for (std::size_t w = 0; w < words_.size(); ++w) {
            std::uint64_t bits = words_[w].exchange(0, std::memory_order_acquire);
            while (bits) {
                const int b = __builtin_ctzll(bits);
                bits &= bits - 1;
                f(static_cast<int>(w) * 64 + b);
            }
        }
    }

private:
    static std::uint64_t bit(int index) { return std::uint64_t{1} << (index % 64); }

    std::array<std::atomic<std::uint64_t>, (param::kCount + 63) / 64> words_{};
};

}  // namespace vorlatek
