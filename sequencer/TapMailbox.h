#pragma once
// A tap waiting for the sequencer: the rows to write and the cell value (1, or 3 accented),
// posted by the editor and taken by the audio thread at the next step, in one atomic word.
// Two taps posted before the clock looks are merged (their rows together, accented if
// either was), so none is lost.

#include "sequencer/StepPattern.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace vorlatek {

class TapMailbox {
public:
    using Rows = std::array<bool, kPatternRows>;

    struct Tap {
        Rows rows{};
        int value = kCellOn;
    };

    void post(const Rows& rows, int value) {
        std::uint32_t word = kPending | (value == kCellAccented ? kAccented : 0u);
        for (int row = 0; row < kPatternRows; ++row)
            if (rows[static_cast<std::size_t>(row)]) word |= 1u << row;
        word_.fetch_or(word, std::memory_order_relaxed);
    }

    // Takes the waiting tap, if any.
    bool take(Tap& tap) {
        const std::uint32_t word = word_.exchange(0, std::memory_order_relaxed);
        if (!(word & kPending)) return false;
        for (int row = 0; row < kPatternRows; ++row) tap.rows[static_cast<std::size_t>(row)] = (word >> row) & 1u;
        tap.value = (word & kAccented) ? kCellAccented : kCellOn;
        return true;
    }

    bool pending() const { return (word_.load(std::memory_order_relaxed) & kPending) != 0; }

private:
    static constexpr std::uint32_t kAccented = 1u << 30;
    static constexpr std::uint32_t kPending = 1u << 31;
    static_assert(kPatternRows <= 30, "rows and flags share one word");

    std::atomic<std::uint32_t> word_{0};
};

}  // namespace vorlatek
