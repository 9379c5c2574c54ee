// The queue of MIDI messages waiting for their frame.

#include "sequencer/MidiEventQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace vorlatek {
namespace {

std::uint32_t noteOn(int note, int velocity = 100) {
    return 0x90u | static_cast<std::uint32_t>(note) << 8 | static_cast<std::uint32_t>(velocity) << 16;
}

// Drains one block of `frames` frames: the data-1 byte of each event, with its frame.
std::vector<std::pair<int, int>> drain(MidiEventQueue& queue, int frames) {
    std::vector<std::pair<int, int>> handed;
    for (int f = 0; f < frames; ++f) {
        MidiMessage message;
        while (queue.popDue(f, message)) handed.emplace_back(f, message.data1());
    }
    queue.endBlock(frames);
    return handed;
}

TEST(MidiEventQueueTest, HandsEventsOutAtTheirFrameInArrivalOrder) {
    MidiEventQueue queue;
    queue.push(noteOn(40), 10);
    queue.push(noteOn(41), 3);  // out of time order
    queue.push(noteOn(42), 10);
    queue.push(0xB5u | 123u << 8, 0);
    EXPECT_EQ(queue.framesUntilNext(), 0);
    const std::vector<std::pair<int, int>> expected = {{0, 123}, {3, 41}, {10, 40}, {10, 42}};
    EXPECT_EQ(drain(queue, 64), expected);
    EXPECT_TRUE(queue.empty());
    EXPECT_EQ(queue.framesUntilNext(), -1);
}

TEST(MidiEventQueueTest, MessageBytesSurviveAsPacked) {
    MidiEventQueue queue;
    queue.push(0x9Au | 36u << 8 | 0u << 16, 0);
    MidiMessage message;
    ASSERT_TRUE(queue.popDue(0, message));
    EXPECT_EQ(message.status(), 0x9A);
    EXPECT_EQ(message.kind(), 0x90);
    EXPECT_EQ(message.data1(), 36);
    EXPECT_EQ(message.data2(), 0);
}

TEST(MidiEventQueueTest, EventBeyondTheBlockKeepsItsTime) {
    MidiEventQueue queue;
    queue.push(noteOn(50), 700);  // 188 frames into the next block of 512
    queue.push(noteOn(51), 100);
    EXPECT_EQ(drain(queue, 512), (std::vector<std::pair<int, int>>{{100, 51}}));
    EXPECT_EQ(queue.framesUntilNext(), 188);
    queue.push(noteOn(52), 5);
    EXPECT_EQ(drain(queue, 512), (std::vector<std::pair<int, int>>{{5, 52}, {188, 50}}));
}

TEST(MidiEventQueueTest, NegativeOffsetIsDueAtTheBlockStart) {
    MidiEventQueue queue;
    queue.push(noteOn(60), -40);
    queue.push(noteOn(61), 0);
    EXPECT_EQ(drain(queue, 16), (std::vector<std::pair<int, int>>{{0, 60}, {0, 61}}));
}

TEST(MidiEventQueueTest, FullQueueDropsTheEventDueLast) {
    MidiEventQueue queue;
    for (int i = 0; i < MidiEventQueue::kCapacity; ++i) ASSERT_TRUE(queue.push(noteOn(1), 1'000'000 + i));
    // Something due sooner displaces the event furthest ahead ...
    EXPECT_TRUE(queue.push(noteOn(2), 7));
    EXPECT_EQ(queue.size(), MidiEventQueue::kCapacity);
    // ... while one due after everything queued is itself dropped.
    EXPECT_FALSE(queue.push(noteOn(3), 2'000'000));
    EXPECT_EQ(queue.dropped(), 2u);
    EXPECT_EQ(drain(queue, 8), (std::vector<std::pair<int, int>>{{7, 2}}));
    queue.clear();
    EXPECT_TRUE(queue.empty());
    EXPECT_TRUE(queue.push(noteOn(4), 0));
}

TEST(MidiEventQueueTest, ThousandsOfEventsInOneBlockAllArrive) {
    MidiEventQueue queue;
    for (int i = 0; i < 3000; ++i) queue.push(noteOn(i % 128), (i * 7919) % 8192);
    const auto handed = drain(queue, 8192);
    ASSERT_EQ(handed.size(), 3000u);
    for (std::size_t i = 1; i < handed.size(); ++i) ASSERT_LE(handed[i - 1].first, handed[i].first);
    EXPECT_EQ(queue.dropped(), 0u);
}

}  // namespace
}  // namespace vorlatek
