// How the editing side's changes reach the audio thread and back: at once while processing
// is off, at the next block while it is on, whole, and with the audio thread's taps kept.

#include "engine/DrumEngine.h"
#include "plugin/DrumPlugin.h"
#include "sequencer/PatternEditor.h"
#include "sequencer/PatternStore.h"

#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace vorlatek {
namespace {

using test::RecordingHost;
using test::ScratchDirectory;

class StateHandoverTest : public ::testing::Test {
protected:
    // One block; a playing transport moves on by the block.
    void block(TimeSnapshot* transport = nullptr) {
        plugin.process(pins.pointers(), kFrames, transport, true);
        if (transport) transport->ppqPos += kFrames * transport->tempo / 60.0 / plugin.sampleRate();
    }

    static constexpr int kFrames = 256;
    ScratchDirectory dir;
    RecordingHost host;
    DrumPlugin plugin{&host, dir.path()};
    test::PinBuffers pins{plugin.numOutputs(), kFrames};
};

TEST_F(StateHandoverTest, ChangesReachTheEngineAtOnceWhileProcessingIsOffAndAtTheNextBlockWhileOn) {
    plugin.setParameter(param::kMasterVolume, 0.2f);
    EXPECT_DOUBLE_EQ(plugin.engine().masterVolume(), 0.2f);

    plugin.setProcessing(true);
    plugin.setParameter(param::kMasterVolume, 0.6f);
    plugin.setSampleRate(96000.0f);
    EXPECT_FLOAT_EQ(plugin.getParameter(param::kMasterVolume), 0.6f);  // the host sees it at once
    EXPECT_DOUBLE_EQ(plugin.engine().masterVolume(), 0.2f);            // the engine at the next block
    EXPECT_DOUBLE_EQ(plugin.engine().sampleRate(), 44100.0);
    block();
    EXPECT_DOUBLE_EQ(plugin.engine().masterVolume(), 0.6f);
    EXPECT_DOUBLE_EQ(plugin.engine().sampleRate(), 96000.0);

    plugin.setProcessing(false);
    plugin.setParameter(param::kMasterVolume, 0.9f);
    EXPECT_DOUBLE_EQ(plugin.engine().masterVolume(), 0.9f);
}

TEST_F(StateHandoverTest, ALoadedStateIsVisibleAtOnceAndPlaysFromTheNextBlock) {
    {
        DrumPlugin::Scope scope(plugin);
        plugin.patternStore()->simplePatterns[7].setName("Loaded");
    }
    plugin.setParameter(param::kMasterVolume, 0.3f);
    const std::string chunk = plugin.getChunk(false);
    {
        DrumPlugin::Scope scope(plugin);
        plugin.patternStore()->simplePatterns[7].setName("Other");
    }
    plugin.setParameter(param::kMasterVolume, 0.8f);

    plugin.setProcessing(true);
    host.clear();
    plugin.setChunk(chunk.data(), chunk.size(), false);
    EXPECT_EQ(plugin.getChunk(false), chunk);
    EXPECT_FLOAT_EQ(plugin.getParameter(param::kMasterVolume), 0.3f);
    EXPECT_STREQ(plugin.playingPatterns().simplePatterns[7].name, "Other");
    block();
    EXPECT_STREQ(plugin.playingPatterns().simplePatterns[7].name, "Loaded");
    EXPECT_DOUBLE_EQ(plugin.engine().masterVolume(), 0.3f);
    // The host is asked to look again, not sent 111 automation events.
    EXPECT_EQ(host.displayUpdates, 1);
    EXPECT_TRUE(host.automated.empty());
    EXPECT_EQ(host.changes.size(), 111u);  // the editor hears of every value
}

TEST_F(StateHandoverTest, ProgramsComeBackWithTheBankChunkAndOlderChunksKeepTheProgram) {
    plugin.selectProgram(9);
    const std::string chunk = plugin.getChunk(false);
    plugin.selectProgram(3);
    plugin.setChunk(chunk.data(), chunk.size(), false);
    EXPECT_EQ(plugin.currentProgram(), 9);
    EXPECT_FLOAT_EQ(plugin.getParameter(2), plugin.presets()->slot(9).value(2));

    std::string older = chunk;
    older.erase(older.find(" currentProgram=\"9\""), std::string(" currentProgram=\"9\"").size());
    plugin.selectProgram(4);
    plugin.setChunk(older.data(), older.size(), false);
    EXPECT_EQ(plugin.currentProgram(), 4);
}

TEST_F(StateHandoverTest, ATapWrittenWhileAnEditIsOnItsWayIsKept) {
    plugin.setProcessing(true);
    TimeSnapshot transport = test::playingTransport(120.0);
    ASSERT_TRUE(plugin.patternEditor()->writeModeButton(1.0f));
    plugin.patternEditor()->selectButton(kCowBell, 1.0f, Modifiers{});
    plugin.patternEditor()->clearButton(Modifiers{true, true, false});
    block(&transport);
    {
        // The editing side starts a change before the audio thread writes the tap, and
        // hands its copy over without the tap.
        DrumPlugin::Scope scope(plugin);
        plugin.patternEditor()->tapButton(Modifiers{});
        for (int i = 0; i < 30; ++i) block(&transport);  // past the next step: the tap is written
        ASSERT_EQ(plugin.patternStore()->part(0, 0, 0)->getCell(kCowBell, 0), kCellOff);
        plugin.patternEditor()->selectButton(kClaves, 1.0f, Modifiers{});
        plugin.patternEditor()->stepButton(9, 0.5f);
    }
    block(&transport);
    const StepPattern& playing = *plugin.playingPatterns().part(0, 0, 0);
    int taps = 0;
    for (int step = 0; step < kPatternSteps; ++step) taps += playing.getCell(kCowBell, step) == kCellOn;
    EXPECT_EQ(taps, 1);
    EXPECT_EQ(playing.getCell(kClaves, 9), kCellOn);
    // And the editing side has it too.
    const StepPattern& edited = *plugin.patternStore()->part(0, 0, 0);
    for (int step = 0; step < kPatternSteps; ++step)
        EXPECT_EQ(edited.getCell(kCowBell, step), playing.getCell(kCowBell, step)) << step;
}

TEST_F(StateHandoverTest, TheEditedPatternFollowsWhatPlays) {
    plugin.playbackSelection().selectPlayPattern(5);
    TimeSnapshot transport = test::playingTransport(120.0);
    block(&transport);
    EXPECT_EQ(plugin.patternEdition()->editedExtendedPattern, 5);
    EXPECT_EQ(host.count(kNotifyEditedExtendedPattern), 1);

    // In write mode only with auto follow.
    ASSERT_TRUE(plugin.patternEditor()->writeModeButton(1.0f));
    plugin.playbackSelection().selectPlayPattern(6);
    for (int i = 0; i < 2000 && plugin.playbackPosition().currentPattern() != 6; ++i) block(&transport);
    ASSERT_EQ(plugin.playbackPosition().currentPattern(), 6);
    EXPECT_EQ(plugin.patternEdition()->editedExtendedPattern, 5);
    plugin.setAutoFollow(true);
    block(&transport);
    EXPECT_EQ(plugin.patternEdition()->editedExtendedPattern, 6);
}

// The master's peak of each of `hits` bass drum notes, two seconds apart (its tail has died away).
std::vector<double> hitPeaks(DrumPlugin& plugin, int hits) {
    constexpr int kBlock = 441;
    test::PinBuffers pins(plugin.numOutputs(), kBlock);
    std::vector<double> peaks;
    for (int h = 0; h < hits; ++h) {
        plugin.midiEvent(0x99u | 36u << 8 | 100u << 16, 0);
        double peak = 0.0;
        for (int b = 0; b < 200; ++b) {
            plugin.process(pins.pointers(), kBlock, nullptr, true);
            for (int f = 0; f < kBlock; ++f) peak = std::max(peak, std::abs(double{pins.pointers()[0][f]}));
        }
        peaks.push_back(peak);
    }
    return peaks;
}

TEST_F(StateHandoverTest, TheFirstHitAfterLoadingSoundsLikeTheTenth) {
    const auto within = [](const std::vector<double>& peaks) {
        return std::abs(20.0 * std::log10(peaks.front() / peaks.back())) < 0.1;
    };
    plugin.setProcessing(true);
    EXPECT_TRUE(within(hitPeaks(plugin, 10))) << "new instance";
    plugin.selectProgram(40);
    EXPECT_TRUE(within(hitPeaks(plugin, 10))) << "program change";
    const std::string chunk = plugin.getChunk(false);
    plugin.selectProgram(3);
    plugin.setChunk(chunk.data(), chunk.size(), false);
    EXPECT_TRUE(within(hitPeaks(plugin, 10))) << "chunk";
}

TEST_F(StateHandoverTest, EveryPositiveRateGivesFiniteOutput) {
    TimeSnapshot transport = test::playingTransport(120.0);
    for (float rate : {1.0f, 100.0f, 7999.0f, 11025.0f, 768000.0f, 1e7f}) {
        plugin.setSampleRate(rate);
        for (int n = 0; n < 8; ++n) {
            block(&transport);
            ASSERT_TRUE(pins.allFinite()) << rate;
        }
        EXPECT_GE(plugin.engine().sampleRate(), DrumPlugin::kMinEngineRate);
        EXPECT_LE(plugin.engine().sampleRate(), DrumPlugin::kMaxEngineRate);
    }
}

}  // namespace
}  // namespace vorlatek
