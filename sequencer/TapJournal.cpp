#include "sequencer/TapJournal.h"

#include <algorithm>

namespace vorlatek {

void TapRecord::applyTo(PatternLibrary& library) const {
    StepPattern* pattern = library.find(this->pattern);
    if (!pattern || step < 0 || step >= kPatternSteps) return;
    for (int row = 0; row < kPatternRows; ++row) {
        if (!((rows >> row) & 1u)) continue;
        StepCell& cell = pattern->cells[row][step];
        cell.on = (value & kCellOn) ? 1 : 0;
        cell.accent = (value & kCellAccentOnly) ? 1 : 0;
    }
}

void TapJournal::write(PatternLibrary& library, const PatternRef& pattern, int step, std::uint32_t rows, int value) {
    if (rows == 0) return;
    const TapRecord record{++written_, pattern, step, rows, value};
    record.applyTo(library);
    history_[written_ % kCapacity] = record;
    flush();
}

std::uint64_t TapJournal::oldestKept() const { return written_ > kCapacity ? written_ - kCapacity + 1 : 1; }

void TapJournal::flush() {
    if (nextToSend_ < oldestKept()) nextToSend_ = oldestKept();  // overwritten before it could be sent
    std::uint32_t write = outWrite_.load(std::memory_order_relaxed);
    const std::uint32_t read = outRead_.load(std::memory_order_acquire);
    for (; nextToSend_ <= written_ && write - read < kCapacity; ++nextToSend_, ++write)
        outbox_[write % kCapacity] = history_[nextToSend_ % kCapacity];
    outWrite_.store(write, std::memory_order_release);
}

void TapJournal::replayAfter(std::uint64_t merged, PatternLibrary& library) const {
    for (std::uint64_t s = std::max(merged + 1, oldestKept()); s <= written_; ++s)
        history_[s % kCapacity].applyTo(library);
}

}  // namespace vorlatek
