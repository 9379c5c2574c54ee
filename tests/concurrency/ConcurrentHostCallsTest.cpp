// Hosts save and restore state, change programs, move parameters and edit patterns from
// their own threads while the audio thread plays and takes MIDI. Nothing may crash, the
// output stays finite, the audio thread never sees half of a loaded state, and (under
// ThreadSanitizer) no two threads touch the same memory without synchronisation.

#include "engine/DrumEngine.h"
#include "plugin/DrumPlugin.h"
#include "plugin/VstEffect.h"
#include "sequencer/PatternEditor.h"
#include "sequencer/PatternStore.h"

#include "../plugin/PluginTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace vorlatek {
namespace {

using namespace vst;

std::uint32_t message(int status, int data1, int data2) {
    return static_cast<std::uint32_t>(status) | static_cast<std::uint32_t>(data1) << 8 |
           static_cast<std::uint32_t>(data2) << 16;
}

// Runs `control` on this thread for `duration` while another thread plays blocks with
// `audio`; returns the number of blocks played (at least `minBlocks`).
template <class Audio, class Control>
long whilePlaying(std::chrono::milliseconds duration, long minBlocks, Audio&& audio, Control&& control) {
    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    std::thread player([&] {
        for (long n = 0; !stop.load(); ++n) {
            audio(n);
            blocks.store(n + 1);
        }
    });
    const auto end = std::chrono::steady_clock::now() + duration;
    for (int n = 0; std::chrono::steady_clock::now() < end || blocks.load() < minBlocks; ++n) control(n);
    stop = true;
    player.join();
    return blocks.load();
}

// A host on two threads: the audio thread processes and delivers MIDI, the other thread
// uses the dispatcher and the parameter calls.
struct TwoThreadHost {
    static VstIntPtr callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
        static thread_local VstTimeInfo time{};
        switch (opcode) {
            case audioMasterVersion: return 2400;
            case audioMasterGetTime:
                time.tempo = 133.0;
                time.flags = kVstTempoValid | kVstTransportPlaying;
                return reinterpret_cast<VstIntPtr>(&time);
            default: return 0;
        }
    }
};

TEST(ConcurrentHostCalls, DispatcherCallsWhileTheAudioThreadPlaysAndTakesMidi) {
    test::ScratchDirectory dir;
    AEffect* effect = VstEffect::create(TwoThreadHost::callback, dir.path());
    ASSERT_NE(effect, nullptr);
    auto dispatch = [&](VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    };
    dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    dispatch(effSetBlockSize, 0, 256);
    dispatch(effMainsChanged, 0, 1);

    void* data = nullptr;
    const VstIntPtr size = dispatch(effGetChunk, 0, 0, &data);
    const std::string bank(static_cast<const char*>(data), static_cast<std::size_t>(size));

    constexpr int kFrames = 256;
    test::PinBuffers pins(effect->numOutputs, kFrames);
    std::atomic<bool> finite{true};
    const long blocks = whilePlaying(
        std::chrono::milliseconds(500), 100,
        [&](long n) {
            VstMidiEvent events[3]{};
            VstEvent* pointers[3];
            const std::uint32_t messages[3] = {message(0x90, 12 + n % 30, 100), message(0xB0, 7, n % 128),
                                               message(0x80, 12 + n % 30, 0)};
            for (int i = 0; i < 3; ++i) {
                events[i].type = kVstMidiType;
                events[i].byteSize = sizeof(VstMidiEvent);
                events[i].deltaFrames = (i * 100) % kFrames;
                std::memcpy(events[i].midiData, &messages[i], 3);
                pointers[i] = reinterpret_cast<VstEvent*>(&events[i]);
            }
            alignas(VstEvents) unsigned char storage[sizeof(VstEvents) + 3 * sizeof(VstEvent*)] = {};
            auto* list = reinterpret_cast<VstEvents*>(storage);
            list->numEvents = 3;
            std::memcpy(list->events, pointers, sizeof pointers);
            dispatch(effProcessEvents, 0, 0, list);
            effect->processReplacing(effect, nullptr, pins.pointers(), kFrames);
            if (!pins.allFinite()) finite = false;
        },
        [&](int n) {
            const float value = static_cast<float>(n % 10) / 9.0f;
            for (int i = 0; i < 111; i += 5) effect->setParameter(effect, i, value);
            (void)effect->getParameter(effect, n % 111);
            dispatch(effSetProgram, 0, n % 128);
            char name[64] = "Renamed";
            dispatch(effSetProgramName, 0, 0, name);
            dispatch(effGetProgramName, 0, 0, name);
            void* chunk = nullptr;
            const VstIntPtr got = dispatch(effGetChunk, n % 2, 0, &chunk);
            if (n % 3 == 0) dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bank.size()), const_cast<char*>(bank.data()));
            else if (got > 0) dispatch(effSetChunk, n % 2, got / (1 + n % 2), chunk);
        });
    dispatch(effMainsChanged, 0, 0);
    dispatch(effClose);
    EXPECT_TRUE(finite.load());
    EXPECT_GE(blocks, 100);
}

// Two states that differ everywhere: every simple pattern named after the state, its cells
// on one row only, and the master volume set to tell them apart.
std::string stateChunk(DrumPlugin& plugin, char tag, int row, float volume) {
    {
        DrumPlugin::Scope scope(plugin);
        PatternStore& store = *plugin.patternStore();
        for (int i = 0; i < kSimplePatternCount; ++i) {
            StepPattern& pattern = store.simplePatterns[i];
            pattern.setName(std::string(1, tag));
            pattern.clearRow(-1);
            pattern.setLength(kPatternSteps);
            for (int step = 0; step < kPatternSteps; ++step) pattern.setCell(kCellOn, row, step);
        }
    }
    plugin.setParameter(param::kMasterVolume, volume);
    return plugin.getChunk(false);
}

TEST(ConcurrentHostCalls, TheAudioThreadNeverPlaysHalfOfALoadedState) {
    test::ScratchDirectory dir;
    DrumPlugin plugin(nullptr, dir.path());
    const std::string a = stateChunk(plugin, 'A', kBassDrum, 0.25f);
    const std::string b = stateChunk(plugin, 'B', kSnareDrum, 0.75f);
    plugin.setProcessing(true);

    constexpr int kFrames = 64;
    test::PinBuffers pins(plugin.numOutputs(), kFrames);
    std::atomic<long> torn{0};
    std::atomic<long> seenA{0}, seenB{0};
    const long blocks = whilePlaying(
        std::chrono::milliseconds(400), 200,
        [&](long) {
            plugin.process(pins.pointers(), kFrames, nullptr, true);
            // Whatever this block played must be one state from end to end.
            const PatternLibrary& playing = plugin.playingPatterns();
            const char tag = playing.simplePatterns[0].name[0];
            if (tag != 'A' && tag != 'B') return;
            const int row = tag == 'A' ? kBassDrum : kSnareDrum;
            for (const StepPattern& pattern : playing.simplePatterns)
                if (pattern.name[0] != tag || pattern.getCell(row, 15) != kCellOn || pattern.getCell(kBassDrum + kSnareDrum - row, 0) != kCellOff)
                    ++torn;
            const double volume = plugin.engine().masterVolume();
            if (std::abs(volume - (tag == 'A' ? 0.25 : 0.75)) > 1e-6) ++torn;
            ++(tag == 'A' ? seenA : seenB);
        },
        [&](int n) {
            const std::string& chunk = n % 2 ? b : a;
            plugin.setChunk(chunk.data(), chunk.size(), false);
            // What was loaded is there for the host at once, whether or not a block ran.
            if (plugin.getChunk(false) != chunk) ++torn;
            if (plugin.getParameter(param::kMasterVolume) != (n % 2 ? 0.75f : 0.25f)) ++torn;
        });
    EXPECT_EQ(torn.load(), 0);
    EXPECT_GT(seenA.load(), 0);
    EXPECT_GT(seenB.load(), 0);
    EXPECT_GE(blocks, 200);
}

TEST(ConcurrentHostCalls, EditsAndTapsFromTheEditorWhileTheAudioThreadPlays) {
    test::ScratchDirectory dir;
    DrumPlugin plugin(nullptr, dir.path());
    plugin.setProcessing(true);
    ASSERT_TRUE(plugin.patternEditor()->writeModeButton(1.0f));
    plugin.patternEditor()->selectButton(kClaves, 1.0f, Modifiers{});

    constexpr int kFrames = 128;
    test::PinBuffers pins(plugin.numOutputs(), kFrames);
    TimeSnapshot transport = test::playingTransport(180.0);
    whilePlaying(
        std::chrono::milliseconds(400), 300,
        [&](long n) {
            transport.ppqPos = static_cast<double>(n * kFrames) * transport.tempo / 60.0 / 44100.0;
            plugin.process(pins.pointers(), kFrames, &transport, true);
        },
        [&](int n) {
            auto editor = plugin.patternEditor();
            editor->tapButton(Modifiers{});
            editor->stepButton(n % 16, n % 3 ? 0.5f : 0.0f);
            editor->shuffleKnob(static_cast<float>(n % 5) / 4.0f);
            if (n % 10 == 0) plugin.requestStart();
            if (n % 17 == 0) plugin.setEditedExtendedPart(n % 2);
            (void)plugin.playbackPosition().currentStep();
            (void)plugin.takeInstrumentActivity(n % 18);
        });
    // Once the audio thread has taken the last edit, both sides hold the same cells: every
    // tap it wrote went back, and no edit was lost under a tap.
    plugin.process(pins.pointers(), kFrames, &transport, true);
    DrumPlugin::Scope scope(plugin);
    const PatternLibrary& playing = plugin.playingPatterns();
    const PatternStore& edited = *plugin.patternStore();
    for (int p = 0; p < kExtendedPatternCount; ++p)
        for (int v = 0; v < 2; ++v)
            for (int step = 0; step < kPatternSteps; ++step)
                EXPECT_EQ(playing.part(p, v, 0)->getCell(kClaves, step), edited.part(p, v, 0)->getCell(kClaves, step))
                    << p << " " << v << " " << step;
}

}  // namespace
}  // namespace vorlatek
