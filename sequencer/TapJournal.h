#pragma once
// The taps the audio thread wrote into the patterns it plays, on their way back to the
// editor's store. The audio thread records every tap it writes: the record goes into an
// outbox that the editor's side drains into its own copy of the patterns, and into a short
// history. When the audio thread takes over a new copy of the patterns from the editor's
// side, it writes the taps that copy did not yet hold once more, so no tap is lost between
// the two copies. Fixed arrays only: recording never allocates or locks.

#include "sequencer/PatternLibrary.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace vorlatek {

struct TapRecord {
    std::uint64_t sequence = 0;  // 1, 2, 3... in the order the taps were written
    PatternRef pattern;
    std::int32_t step = 0;
    std::uint32_t rows = 0;  // bit r = pattern row r
    std::int32_t value = 0;  // cell value 0..3, stored as tapped (an accent-row 1 stays 1)

    void applyTo(PatternLibrary& library) const;
};

class TapJournal {
public:
    static constexpr int kCapacity = 256;

    // Audio thread: writes the tap into `library` and records it.
    void write(PatternLibrary& library, const PatternRef& pattern, int step, std::uint32_t rows, int value);
    // Audio thread: writes again into `library` every recorded tap newer than `merged`.
    void replayAfter(std::uint64_t merged, PatternLibrary& library) const;
    // Audio thread: moves records that found the outbox full into it, as far as room allows.
    void flush();

    // Editor side: hands every record not yet drained to `take`, oldest first. A record that
    // finds the outbox full waits in the history and follows at the next write or flush.
    template <class F>
    void drain(F&& take) {
        std::uint32_t read = outRead_.load(std::memory_order_relaxed);
        const std::uint32_t end = outWrite_.load(std::memory_order_acquire);
        for (; read != end; ++read) take(outbox_[read % kCapacity]);
        outRead_.store(read, std::memory_order_release);
    }

private:
    std::uint64_t oldestKept() const;

    // Audio thread only.
    std::array<TapRecord, kCapacity> history_{};
    std::uint64_t written_ = 0;
    std::uint64_t nextToSend_ = 1;

    // Single producer (audio thread), single consumer (editor side).
    std::array<TapRecord, kCapacity> outbox_{};
    std::atomic<std::uint32_t> outWrite_{0};
    std::atomic<std::uint32_t> outRead_{0};
};

}  // namespace vorlatek
