#pragma once
// The MIDI messages that wait for their sample frame: note-ons, note-offs and all-notes-off,
// taken in before a block and handed to the sequencer clock in the frame they fall on.
//
// The queue is a fixed ring, so taking an event in and handing it out never allocates. It
// keeps events in the order they are due and, among events due on the same frame, in the
// order they arrived. Times are counted in frames on the queue's own running clock, so an
// event whose offset lies beyond its block keeps its place in time: it is handed out that
// many frames after the start of the block it came with, in whichever later block that is.
//
// When all kCapacity places are taken, the event due last is dropped: the newcomer if
// nothing queued is due after it, else the queued event due furthest ahead. Events of a
// realistic block never come close to that.

#include <array>
#include <cstdint>

namespace vorlatek {

struct MidiMessage {
    std::uint32_t packed = 0;  // status in the lowest byte, then data 1, then data 2

    int status() const { return static_cast<int>(packed & 0xFFu); }
    int data1() const { return static_cast<int>((packed >> 8) & 0xFFu); }
    int data2() const { return static_cast<int>((packed >> 16) & 0xFFu); }
    // The status without its channel bits: 0x80 note-off, 0x90 note-on, 0xB0 control change.
    int kind() const { return status() & 0xF0; }
};

class MidiEventQueue {
public:
    static constexpr int kCapacity = 4096;

    // Queues a message `offset` frames into the coming block; a negative offset counts as 0.
    // Returns false when the message itself was dropped because the queue was full.
    bool push(std::uint32_t message, std::int32_t offset);

    // Frames from the start of the current block until the first queued event is due (0 if
    // it is overdue), or -1 when the queue is empty.
    std::int64_t framesUntilNext() const;
    // Takes the next event due at or before `frame` frames into the current block, oldest
    // due time first; false when none is due yet.
    bool popDue(std::int64_t frame, MidiMessage& message);
    // The current block of `frames` frames is over: offsets now count from the next block.
    void endBlock(int frames);

    void clear();
    int size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // Events refused or displaced because the queue was full, since construction.
    std::uint64_t dropped() const { return dropped_; }

private:
    struct Entry {
        std::int64_t due = 0;  // frame on the queue's clock
        MidiMessage message;
    };

    Entry& at(int i) { return ring_[static_cast<std::size_t>((head_ + i) % kCapacity)]; }
    const Entry& at(int i) const { return ring_[static_cast<std::size_t>((head_ + i) % kCapacity)]; }

    std::array<Entry, kCapacity> ring_{};
    int head_ = 0;
    int count_ = 0;
    std::int64_t blockStart_ = 0;  // queue clock at the start of the current block
    std::uint64_t dropped_ = 0;
};

}  // namespace vorlatek
