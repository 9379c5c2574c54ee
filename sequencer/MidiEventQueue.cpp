#include "sequencer/MidiEventQueue.h"

#include <algorithm>

namespace vorlatek {

bool MidiEventQueue::push(std::uint32_t message, std::int32_t offset) {
    const std::int64_t due = blockStart_ + std::max<std::int32_t>(offset, 0);
    if (count_ == kCapacity) {
        ++dropped_;
        // Keep whatever is due soonest: make room by dropping the event due furthest ahead.
        if (at(count_ - 1).due <= due) return false;
        --count_;
    }
    // Hosts deliver events in time order, so the new one nearly always goes at the back;
    // otherwise it moves in front of every later event, behind those due at the same frame.
    int i = count_;
    for (; i > 0 && at(i - 1).due > due; --i) at(i) = at(i - 1);
    at(i) = Entry{due, MidiMessage{message}};
    ++count_;
    return true;
}

std::int64_t MidiEventQueue::framesUntilNext() const {
    if (count_ == 0) return -1;
    return std::max<std::int64_t>(at(0).due - blockStart_, 0);
}

bool MidiEventQueue::popDue(std::int64_t frame, MidiMessage& message) {
    if (count_ == 0 || at(0).due > blockStart_ + frame) return false;
    message = at(0).message;
    head_ = (head_ + 1) % kCapacity;
    --count_;
    return true;
}

void MidiEventQueue::endBlock(int frames) { blockStart_ += std::max(frames, 0); }

void MidiEventQueue::clear() {
    head_ = 0;
    count_ = 0;
}

}  // namespace vorlatek
