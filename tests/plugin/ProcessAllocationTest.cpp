// The audio thread's whole path through the plug-in object: MIDI intake, controllers moving
// parameters, the sequencer clock with host transport, taps and the rendering of every pin.
// Once running it must never allocate.

#include "plugin/DrumPlugin.h"
#include "sequencer/PatternEditor.h"

#include "AllocationCounter.h"
#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace vorlatek {
namespace {

std::uint32_t message(int status, int data1, int data2) {
    return static_cast<std::uint32_t>(status) | (static_cast<std::uint32_t>(data1) << 8) |
           (static_cast<std::uint32_t>(data2) << 16);
}

TEST(ProcessAllocation, PlayingNeverAllocates) {
    test::ScratchDirectory dir;
    DrumPlugin plugin(nullptr, dir.path());
    plugin.assignController(7, 58);
    constexpr int kFrames = 256;
    test::PinBuffers pins(plugin.numOutputs(), kFrames);
    TimeSnapshot transport = test::playingTransport(128.0);
    plugin.setProcessing(true);
    ASSERT_TRUE(plugin.patternEditor()->writeModeButton(1.0f));
    plugin.patternEditor()->selectButton(0, 1.0f, Modifiers{});
    auto block = [&](int n) {
        transport.ppqPos = n * kFrames * transport.tempo / 60.0 / 44100.0;
        if (n % 7 == 0) {
            plugin.midiEvent(message(0x90, 36 + n % 12, 100), n % kFrames);
            plugin.midiEvent(message(0x80, 36 + n % 12, 0), (n * 13) % kFrames);
            plugin.midiEvent(message(0xB0, 7, n % 128), 3);
        }
        // Edits and taps from the editor reach the audio thread while it plays.
        if (n % 50 == 0) plugin.patternEditor()->tapButton(Modifiers{});
        if (n % 30 == 0) plugin.patternEditor()->stepButton(n % 16, 0.5f);
        plugin.process(pins.pointers(), kFrames, &transport, n % 2 == 0);
    };
    for (int n = 0; n < 20; ++n) block(n);  // warm up
    const long allocations = allocation_counter::countAllocations([&] {
        for (int n = 20; n < 600; ++n) block(n);
    });
    EXPECT_EQ(allocations, 0);
    // The factory pattern it played lit the bass drum's lamp, once until read.
    EXPECT_TRUE(plugin.takeInstrumentActivity(0));
    EXPECT_FALSE(plugin.takeInstrumentActivity(0));
    EXPECT_FALSE(plugin.takeInstrumentActivity(18));
}

}  // namespace
}  // namespace vorlatek
