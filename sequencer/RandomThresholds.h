#pragma once
// The random thresholds of the pattern rows (parameters 93..110, one per row, the accent
// row last): how much of a randomised row sounds. Set from any thread (a knob, automation,
// a MIDI controller), read by the audio thread at every step and by the editor's lamps, so
// each is a single atomic value.

#include "sequencer/StepPattern.h"

#include <array>
#include <atomic>

namespace vorlatek {

class RandomThresholds {
public:
    float get(int row) const {
        return row >= 0 && row < kPatternRows ? values_[static_cast<std::size_t>(row)].load(std::memory_order_relaxed)
                                              : 0.0f;
    }
    void set(int row, float value) {
        if (row >= 0 && row < kPatternRows) values_[static_cast<std::size_t>(row)].store(value, std::memory_order_relaxed);
    }

private:
    std::array<std::atomic<float>, kPatternRows> values_{};
};

}  // namespace vorlatek
