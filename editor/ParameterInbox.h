#pragma once
// Parameter values reported to the editor from any thread, waiting for its thread: the
// latest value of each parameter and a flag saying it changed. Reporting is two atomic
// stores; nothing locks or allocates. The editor's thread takes every changed value at once.

#include <array>
#include <atomic>
#include <cstdint>

#include "engine/ParameterIndex.h"

namespace vorlatek::editor {

class ParameterInbox {
public:
    static constexpr int kCount = param::kCount;

    // Indices outside the table are ignored.
    void post(int index, float value) {
        if (index < 0 || index >= kCount) return;
        values_[std::size_t(index)].store(value, std::memory_order_relaxed);
        changed_[std::size_t(index / 64)].fetch_or(std::uint64_t(1) << (index % 64), std::memory_order_release);
    }
    // Calls f(index, value) for every changed parameter, in index order.
    template <class F>
    void drain(F&& f) {
        for (std::size_t word = 0; word < changed_.size(); ++word) {
            std::uint64_t bits = changed_[word].exchange(0, std::memory_order_acquire);
            for (int bit = 0; bits != 0; ++bit, bits >>= 1) {
                if (!(bits & 1u)) continue;
                const int index = int(word) * 64 + bit;
                f(index, values_[std::size_t(index)].load(std::memory_order_relaxed));
            }
        }
    }
    void clear() {
        for (auto& word : changed_) word.store(0, std::memory_order_relaxed);
    }

private:
    std::array<std::atomic<float>, kCount> values_{};
    std::array<std::atomic<std::uint64_t>, (kCount + 63) / 64> changed_{};
};

}  // namespace vorlatek::editor
