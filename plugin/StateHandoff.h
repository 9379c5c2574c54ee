#pragma once
// Hands a whole new state from the editing threads to the audio thread without locks and
// without allocation: three buffers made at construction. The writer fills the back buffer
// and publishes it; the audio thread, at the start of a block, takes the newest published
// buffer in exchange for the one it played. Neither side ever waits for the other, and the
// audio thread never sees a buffer while it is being written.

#include <atomic>
#include <cstdint>
#include <memory>

namespace vorlatek {

template <class State>
class StateHandoff {
public:
    StateHandoff() : buffers_(std::make_unique<State[]>(3)) {}
    StateHandoff(const StateHandoff&) = delete;
    StateHandoff& operator=(const StateHandoff&) = delete;

    // Writer side (one writer at a time): the buffer to fill, then publish() it.
    State& back() { return buffers_[back_]; }
    void publish() { back_ = spare_.exchange(back_ | kFresh, std::memory_order_acq_rel) & kIndex; }

    // Audio side: takes the newest published state, if there is one since the last call.
    bool adopt() {
        if (!(spare_.load(std::memory_order_relaxed) & kFresh)) return false;
        front_ = spare_.exchange(front_, std::memory_order_acq_rel) & kIndex;
        return true;
    }
    State& front() { return buffers_[front_]; }
    const State& front() const { return buffers_[front_]; }

private:
    static constexpr std::uint32_t kFresh = 4;
    static constexpr std::uint32_t kIndex = 3;

    std::unique_ptr<State[]> buffers_;
    std::uint32_t back_ = 0;   // the writer's
    std::uint32_t front_ = 1;  // the audio thread's
    std::atomic<std::uint32_t> spare_{2};  // the third buffer, with kFresh when newly published
};

}  // namespace vorlatek
