// Notes on the drum channel play the instrument the drum map names, at the note's frame,
// like a step; notes on every other channel keep their pattern meaning.

#include "engine/DrumEngine.h"
#include "plugin/DrumPlugin.h"

#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace vorlatek {
namespace {

std::uint32_t noteOn(int channel, int note, int velocity) {
    return static_cast<std::uint32_t>(0x90 | (channel - 1)) | static_cast<std::uint32_t>(note) << 8 |
           static_cast<std::uint32_t>(velocity) << 16;
}

// A plug-in with nothing playing, and its bass drum's pin.
struct DrumRig {
    static constexpr int kFrames = 512;
    static constexpr int kBassDrumPin = 2;  // after the stereo master

    // One block with `message` at `offset`; the bass drum's pin, then the frame where it
    // first sounds (-1 never) and its peak.
    std::pair<int, float> play(std::uint32_t message, int offset) {
        plugin.midiEvent(message, offset);
        plugin.process(pins.pointers(), kFrames, nullptr, true);
        const float* pin = pins.pointers()[kBassDrumPin];
        const auto first = std::find_if(pin, pin + kFrames, [](float x) { return x != 0.0f; });
        float peak = 0.0f;
        for (int f = 0; f < kFrames; ++f) peak = std::max(peak, std::abs(pin[f]));
        return {first == pin + kFrames ? -1 : static_cast<int>(first - pin), peak};
    }

    test::ScratchDirectory dir;
    test::RecordingHost host;
    DrumPlugin plugin{&host, dir.path()};
    test::PinBuffers pins{plugin.numOutputs(), kFrames};
};

TEST(DrumChannel, ANoteOnChannelTenSoundsItsInstrumentAtItsFrameAndOnChannelOneNothing) {
    DrumRig rig;
    auto& plugin = rig.plugin;
    auto play = [&](std::uint32_t m, int o) { return rig.play(m, o); };
    EXPECT_EQ(plugin.sequencerSettings()->drumChannel, 10);
    EXPECT_EQ(play(noteOn(1, 36, 100), 100).first, -1);
    EXPECT_EQ(play(noteOn(10, 36, 100), 123).first, 123);
    EXPECT_TRUE(plugin.takeInstrumentActivity(kBassDrum));  // the lamp lights as for a step

    // A muted instrument stays silent, as in a pattern; channel 0 switches the drum notes off.
    DrumRig quiet;
    quiet.plugin.setParameter(param::kFirstMute + kBassDrum, 1.0f);
    EXPECT_EQ(quiet.play(noteOn(10, 36, 100), 0).first, -1);
    DrumRig off;
    off.plugin.setDrumChannel(0);
    EXPECT_EQ(off.play(noteOn(10, 36, 100), 0).first, -1);
}

TEST(DrumChannel, SoftNotesPlayPlainStepsAndHardOnesAccentedSteps) {
    DrumRig rig;
    auto& plugin = rig.plugin;
    auto play = [&](std::uint32_t m, int o) { return rig.play(m, o); };
    const float soft = play(noteOn(10, 36, 20), 0).second;
    DrumRig medium, hard;
    EXPECT_FLOAT_EQ(medium.play(noteOn(10, 36, 64), 0).second, soft);
    const float loud = hard.play(noteOn(10, 36, 127), 0).second;
    EXPECT_GT(20.0 * std::log10(loud / soft), 3.0);
    EXPECT_DOUBLE_EQ(plugin.engine().noteVelocity(64), 48.0 / 127.0);
    EXPECT_DOUBLE_EQ(plugin.engine().noteVelocity(127),
                     std::min(48.0 / 127.0 + 0.377 + plugin.engine().accentLevel() * 0.623, 1.0));
}

TEST(DrumChannel, TheChannelIsKeptWithTheStateAndOlderStatesReadAsTen) {
    DrumRig rig;
    auto& plugin = rig.plugin;
    plugin.setDrumChannel(3);
    plugin.setDrumChannel(17);  // not a channel: ignored
    const std::string chunk = plugin.getChunk(false);
    EXPECT_NE(chunk.find("drumChannel=\"3\""), std::string::npos);
    DrumRig other;
    other.plugin.setChunk(chunk.data(), chunk.size(), false);
    EXPECT_EQ(other.plugin.sequencerSettings()->drumChannel, 3);

    std::string older = chunk;
    older.erase(older.find(" drumChannel=\"3\""), std::string(" drumChannel=\"3\"").size());
    DrumRig fresh;
    fresh.plugin.setChunk(older.data(), older.size(), false);
    EXPECT_EQ(fresh.plugin.sequencerSettings()->drumChannel, 10);
}

}  // namespace
}  // namespace vorlatek
