#pragma once
// Where playback stands: whether the extended sequencer runs, the pattern, variation, part
// and step it plays, and the simple pattern and step of host mode. The arrangement on the
// audio thread is the only writer; the editor (running light, follow) and the state readers
// look at it from their own threads, one atomic word at a time.

#include <atomic>
#include <cstdint>

namespace vorlatek {

class PlaybackPosition {
public:
    bool running() const { return running_.load(std::memory_order_relaxed); }
    int currentPattern() const { return currentPattern_.load(std::memory_order_relaxed); }
    int currentVariation() const { return currentVariation_.load(std::memory_order_relaxed); }
    int currentPart() const { return currentPart_.load(std::memory_order_relaxed); }
    int currentStep() const { return currentStep_.load(std::memory_order_relaxed); }
    // Host mode: the simple pattern playing and its step, -1 for none.
    int currentSimplePattern() const { return currentSimplePattern_.load(std::memory_order_relaxed); }
    int simpleStep() const { return simpleStep_.load(std::memory_order_relaxed); }
    // The clock's positions in beats at the end of the last block: the extended sequencer's
    // and the simple sequencer's. The editor's running light blinks on them.
    double extendedBeat() const { return extendedBeat_.load(std::memory_order_relaxed); }
    double simpleBeat() const { return simpleBeat_.load(std::memory_order_relaxed); }
    // The audio thread's own call, once per block.
    void publishBeats(double extended, double simple) {
        extendedBeat_.store(extended, std::memory_order_relaxed);
        simpleBeat_.store(simple, std::memory_order_relaxed);
    }

private:
    friend class Arrangement;

    static void put(std::atomic<std::int32_t>& field, int value) { field.store(value, std::memory_order_relaxed); }

    std::atomic<bool> running_{false};
    std::atomic<std::int32_t> currentPattern_{0};
    std::atomic<std::int32_t> currentVariation_{0};
    std::atomic<std::int32_t> currentPart_{0};
    std::atomic<std::int32_t> currentStep_{0};
    std::atomic<std::int32_t> currentSimplePattern_{-1};
    std::atomic<std::int32_t> simpleStep_{-1};
    std::atomic<double> extendedBeat_{0.0};
    std::atomic<double> simpleBeat_{0.0};
};

}  // namespace vorlatek
