// The sequencer clock: host transport following, Start/Stop, MIDI notes, step timing on
// exact frames, taps, the editor follow, and survival of bad input.

#include "engine/DrumEngine.h"
#include "engine/OutputRouter.h"
#include "sequencer/Arrangement.h"
#include "sequencer/ClockState.h"
#include "sequencer/MidiEventQueue.h"
#include "sequencer/SequencerClock.h"
#include "sequencer/SequencerListener.h"
#include "sequencer/SequencerSettings.h"
#include "sequencer/TimeSnapshot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <ostream>
#include <random>
#include <vector>

namespace vorlatek {
namespace {

constexpr int kNotePlayPatternSelected = 10;
constexpr int kNoteEditedSimplePattern = 12;
constexpr int kNoteEditedExtendedPattern = 13;
constexpr int kNoteStartPatternType = 18;

std::uint32_t noteOn(int note, int velocity = 100, int channel = 0) {
    return static_cast<std::uint32_t>(0x90 | channel) | static_cast<std::uint32_t>(note) << 8 |
           static_cast<std::uint32_t>(velocity) << 16;
}
std::uint32_t noteOff(int note) { return 0x80u | static_cast<std::uint32_t>(note) << 8; }
constexpr std::uint32_t kAllNotesOffMessage = 0xB0u | 123u << 8;

// The host's transport as a test plays it: a tempo and the position where it started.
struct HostTransport {
    double bpm = 120.0;
    double startPpq = 0.0;
    bool playing = true;
};

class ClockRig : public SequencerListener {
public:
    struct Hit {
        std::int64_t frame;
        int row;
        int extStep;
        int simpleStep;
    };

    ClockRig() {
        settings.intSeqOn = true;
        arrangement.setPatterns(&library, &thinning);
        selection.selectPlayPattern(12);
        for (auto& pin : pins) pin.resize(8192);
        for (std::size_t i = 0; i < pins.size(); ++i) pinPointers[i] = pins[i].data();
    }

    void notify(int code) override { codes.push_back(code); }
    void instrumentActivity(int row) override {
        hits.push_back({clock.frame(), row, arrangement.currentStep(), arrangement.simpleStep()});
    }

    // One block; `transport` null means the host gave no time information.
    void block(int frames, const TimeSnapshot* transport) {
        clock.processBlock(pinPointers.data(), frames, transport, true);
        for (int f = 0; f < frames; ++f)
            for (const auto& pin : pins) ASSERT_TRUE(std::isfinite(pin[static_cast<std::size_t>(f)]));
    }

    // Plays `frames` frames in blocks of `blockSize` with the host transport running from
    // its start position (or without time information).
    void play(std::int64_t frames, int blockSize, const HostTransport& host) { play(frames, blockSize, &host); }
    void play(std::int64_t frames, int blockSize, std::nullopt_t) { play(frames, blockSize, nullptr); }
    void play(std::int64_t frames, int blockSize, const HostTransport* host) {
        const double framesPerBeat = engine.sampleRate() * 60.0 / (host ? host->bpm : 120.0);
        for (std::int64_t done = 0; done < frames; done += blockSize) {
            const int n = static_cast<int>(std::min<std::int64_t>(blockSize, frames - done));
            if (!host) {
                block(n, nullptr);
                continue;
            }
            TimeSnapshot t;
            t.valid = t.tempoValid = t.ppqValid = true;
            t.playing = host->playing;
            t.tempo = host->bpm;
            t.ppqPos = host->startPpq + (host->playing ? static_cast<double>(hostFrames) / framesPerBeat : 0.0);
            block(n, &t);
            if (host->playing) hostFrames += n;
        }
    }

    std::vector<Hit> hitsOf(int row) const {
        std::vector<Hit> found;
        for (const Hit& h : hits)
            if (h.row == row) found.push_back(h);
        return found;
    }
    std::vector<std::int64_t> framesOf(int row) const {
        std::vector<std::int64_t> found;
        for (const Hit& h : hitsOf(row)) found.push_back(h.frame);
        return found;
    }

    // Every step of the pattern part (or simple pattern) marked on the accent row, which
    // reports activity without sounding a voice.
    static void markEveryStep(StepPattern& pattern) {
        for (int s = 0; s < kPatternSteps; ++s) pattern.setCell(kCellOn, kAccentRow, s);
    }

    DrumEngine engine;
    PatternLibrary library;
    RandomThinning thinning;
    RandomThresholds thresholds;
    PlaybackSelection selection;
    Arrangement arrangement{&engine, this, selection, thresholds};
    OutputRouter router;
    SequencerSettings settings;
    ClockState state;
    MidiEventQueue queue;
    SequencerRequests requests;
    SequencerClock clock{arrangement, engine, router, settings, state, queue, *this, requests};

    std::vector<Hit> hits;
    std::vector<int> codes;
    std::array<std::vector<float>, 36> pins;
    std::array<float*, 36> pinPointers{};
    std::int64_t hostFrames = 0;
};

TapMailbox::Rows rows(std::initializer_list<int> which) {
    TapMailbox::Rows r{};
    for (int row : which) r[static_cast<std::size_t>(row)] = true;
    return r;
}

// Frame of a point `hundredths` hundredths of a step into the pattern, at `bpmTenths`/10
// bpm: hundredths/100 steps × 1/stepsPerBeat beats × sampleRate·600/bpmTenths frames per
// beat, in integer arithmetic so that whole frames stay whole. Extended steps fall on the
// frame at or before their time, simple steps on the frame at or after it.
std::int64_t frameOf(std::int64_t hundredths, std::int64_t sampleRate, std::int64_t stepsPerBeat,
                     std::int64_t bpmTenths, bool roundUp) {
    const std::int64_t num = hundredths * sampleRate * 6;
    const std::int64_t den = stepsPerBeat * bpmTenths;
    return roundUp ? (num + den - 1) / den : num / den;
}

// Hundredths of a step at which step k plays: pairs of a grid step and a step delayed by
// shuffle × 0.8 of a step.
std::int64_t stepHundredths(std::int64_t k, int shuffleTenths) { return 100 * k + (k % 2) * shuffleTenths * 8; }

class ClockTest : public ClockRig, public ::testing::Test {};

// Transport --------------------------------------------------------------------------------------

TEST_F(ClockTest, TransportStartPlaysStepZeroInTheFirstFrameWhateverTheHostPosition) {
    markEveryStep(*library.part(0, 0, 0));
    play(6000, 512, HostTransport{120.0, 37.25});
    const auto hits = hitsOf(kAccentRow);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].frame, 0);
    EXPECT_EQ(hits[0].extStep, 0);
    EXPECT_EQ(hits[1].frame, 5512);  // the grid step at 37.5 beats
    EXPECT_EQ(hits[1].extStep, 1);
    EXPECT_TRUE(arrangement.running());
    EXPECT_TRUE(state.hostWasPlaying);
}

TEST_F(ClockTest, PreRollDelaysTheFirstStepToPositionZero) {
    markEveryStep(*library.part(0, 0, 0));
    play(22050 + 100, 256, HostTransport{120.0, -1.0});
    EXPECT_EQ(framesOf(kAccentRow), std::vector<std::int64_t>{22050});
    EXPECT_EQ(hitsOf(kAccentRow)[0].extStep, 0);
}

TEST_F(ClockTest, HostRelocationMovesTheSequencerAtTheNextBlock) {
    markEveryStep(*library.part(0, 0, 0));
    play(1024, 1024, HostTransport{});
    TimeSnapshot jump;
    jump.valid = jump.tempoValid = jump.ppqValid = jump.playing = true;
    jump.tempo = 120.0;
    jump.ppqPos = 10.1;
    block(0, &jump);
    EXPECT_DOUBLE_EQ(state.extPos, 10.1);
    hostFrames = 0;
    play(4000, 4000, HostTransport{120.0, 10.1});
    // Step 0 played on the grid, so the next is the shuffle position 10.25, 0.15 beats on.
    EXPECT_EQ(framesOf(kAccentRow), (std::vector<std::int64_t>{0, 1024 + 3307}));
}

TEST_F(ClockTest, HostStopStopsBothSequencers) {
    settings.hostMode = true;
    queue.push(noteOn(20), 0);
    play(1000, 500, HostTransport{});
    ASSERT_TRUE(arrangement.running());
    ASSERT_EQ(arrangement.currentSimplePattern(), 8);
    play(10, 10, HostTransport{120.0, 0.0, false});
    EXPECT_FALSE(arrangement.running());
    EXPECT_EQ(arrangement.currentSimplePattern(), -1);
    EXPECT_EQ(arrangement.simpleStep(), -1);
    EXPECT_EQ(state.buttonState, kCommandStop);
}

TEST_F(ClockTest, NoTimeInformationRunsOnAtTheLastTempo) {
    play(100, 100, HostTransport{});
    const double before = state.hostPpq;
    play(22050, 1000, std::nullopt);
    EXPECT_NEAR(state.hostPpq - before, 1.0, 1e-9);
    EXPECT_NEAR(state.extPos, state.hostPpq, 1e-9);
    EXPECT_TRUE(state.hostWasPlaying);
    EXPECT_TRUE(arrangement.running());
}

TEST_F(ClockTest, WithoutEverATempoThePositionsStandStill) {
    markEveryStep(*library.part(0, 0, 0));
    requests.command = kCommandStart;
    play(44100, 512, std::nullopt);
    EXPECT_EQ(state.extPos, 0.0);
    EXPECT_EQ(state.hostPpq, 0.0);
    EXPECT_EQ(framesOf(kAccentRow), std::vector<std::int64_t>{0});  // step 0, then nothing
}

TEST_F(ClockTest, TempoZeroFromTheHostFreezesTheClockUntilItMovesAgain) {
    markEveryStep(*library.part(0, 0, 0));
    play(1000, 500, HostTransport{120.0, 0.0});
    TimeSnapshot frozen;
    frozen.valid = frozen.tempoValid = frozen.playing = true;
    frozen.tempo = 0.0;
    for (int i = 0; i < 40; ++i) block(512, &frozen);
    const double held = state.extPos;
    EXPECT_EQ(state.hostTempo, 0.0);
    EXPECT_NEAR(held, 1000.0 / 22050.0, 1e-12);
    EXPECT_EQ(framesOf(kAccentRow), std::vector<std::int64_t>{0});
    frozen.tempo = 120.0;
    for (int i = 0; i < 15; ++i) block(512, &frozen);
    EXPECT_GT(state.extPos, held);
    EXPECT_EQ(framesOf(kAccentRow).size(), 2u);
}

// Step timing ---------------------------------------------------------------------------------------

struct TimingCase {
    int sampleRate;
    int bpmTenths;
    int stepsPerBeat;
    int shuffleTenths;  // shuffle × 10, internal scale
    bool internalSync;
    int blockSize;
};

void PrintTo(const TimingCase& c, std::ostream* out) {
    *out << c.sampleRate << " Hz, " << c.bpmTenths / 10.0 << " bpm, " << c.stepsPerBeat << " steps per beat, shuffle "
         << c.shuffleTenths / 10.0 << (c.internalSync ? ", internal" : ", host") << " sync, blocks of " << c.blockSize;
}

class StepTimingTest : public ClockRig, public ::testing::TestWithParam<TimingCase> {};

TEST_P(StepTimingTest, ExtendedStepsLandOnExactFramesOverALongRun) {
    const TimingCase c = GetParam();
    engine.setSampleRate(static_cast<float>(c.sampleRate));
    settings.syncInternal = c.internalSync ? 1 : 0;
    PatternVariation& variation = *library.variation(0, 0);
    variation.setBpm(c.bpmTenths / 10.0);
    variation.setShuffle(c.shuffleTenths / 10.0);
    variation.part1.setStepsPerBeat(c.stepsPerBeat);
    markEveryStep(variation.part1);
    const std::int64_t total = static_cast<std::int64_t>(c.sampleRate) * 40;
    if (c.internalSync) {
        requests.command = kCommandStart;
        play(total, c.blockSize, HostTransport{120.0, 0.0, false});
    } else {
        play(total, c.blockSize, HostTransport{c.bpmTenths / 10.0, 0.0});
    }
    std::vector<std::int64_t> expected;
    for (std::int64_t k = 0;; ++k) {
        const std::int64_t f = frameOf(stepHundredths(k, c.shuffleTenths), c.sampleRate, c.stepsPerBeat, c.bpmTenths, false);
        if (f >= total) break;
        expected.push_back(f);
    }
    EXPECT_EQ(framesOf(kAccentRow), expected);
}

INSTANTIATE_TEST_SUITE_P(Tempi, StepTimingTest,
                         ::testing::Values(TimingCase{44100, 1200, 4, 0, false, 512},
                                           TimingCase{48000, 1200, 4, 0, false, 333},
                                           TimingCase{44100, 973, 4, 10, true, 1024},
                                           TimingCase{96000, 1337, 3, 5, true, 64},
                                           TimingCase{44100, 1748, 8, 10, false, 8192},
                                           TimingCase{48000, 850, 6, 3, true, 1}));

TEST_F(ClockTest, SimpleStepsLandOnExactFramesFromTheNote) {
    settings.hostMode = true;
    settings.syncInternal = 1;
    StepPattern& pattern = library.simplePatterns[95];
    pattern.setBpm(133.3);
    pattern.setShuffle(0.5);
    pattern.setStepsPerBeat(3);
    pattern.setLength(12);
    markEveryStep(pattern);
    queue.push(noteOn(107), 300);
    play(44100 * 30, 700, std::nullopt);
    const auto hits = hitsOf(kAccentRow);
    ASSERT_GT(hits.size(), 100u);
    for (std::size_t k = 0; k < hits.size(); ++k) {
        ASSERT_EQ(hits[k].frame, 300 + frameOf(stepHundredths(static_cast<std::int64_t>(k), 5), 44100, 3, 1333, true))
            << "step " << k;
        ASSERT_EQ(hits[k].simpleStep, static_cast<int>(k % 12));
    }
}

// Start and Stop --------------------------------------------------------------------------------------

TEST_F(ClockTest, StartIsIgnoredAndForgottenWhileTheHostPlays) {
    settings.extSyncType = kExtSyncLowestNote;
    requests.command = kCommandStart;
    play(512, 512, HostTransport{});
    EXPECT_FALSE(arrangement.running());
    EXPECT_EQ(requests.command.load(), kCommandNone);
}

TEST_F(ClockTest, StopThenStartRestartsAtPositionZero) {
    markEveryStep(*library.part(0, 0, 0));
    const HostTransport stopped{120.0, 0.0, false};
    requests.command = kCommandStart;
    play(30000, 512, stopped);
    EXPECT_TRUE(arrangement.running());
    EXPECT_EQ(state.buttonState, kCommandStart);
    requests.command = kCommandStart;  // a second Start without a Stop does nothing
    play(512, 512, stopped);
    EXPECT_GT(state.extPos, 1.0);
    requests.command = kCommandStop;
    play(512, 512, stopped);
    EXPECT_FALSE(arrangement.running());
    hits.clear();
    const std::int64_t restart = clock.frame();
    requests.command = kCommandStart;
    play(512, 512, stopped);
    EXPECT_NEAR(state.extPos, 512.0 / 22050.0, 1e-12);
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(hits[0].frame, restart);
    EXPECT_EQ(hits[0].extStep, 0);
}

TEST_F(ClockTest, StartIsRefusedWhileTheSequencerIsOff) {
    settings.intSeqOn = false;
    requests.command = kCommandStart;
    play(100, 100, std::nullopt);
    EXPECT_FALSE(arrangement.running());
    EXPECT_EQ(requests.command.load(), kCommandNone);
}

// MIDI ---------------------------------------------------------------------------------------------------

TEST_F(ClockTest, LowestNoteStartsAtItsFrameAndAllNotesOffStops) {
    settings.extSyncType = kExtSyncLowestNote;
    markEveryStep(*library.part(0, 0, 0));
    queue.push(noteOn(0, 1, 3), 200);  // any channel but the drum channel
    play(512, 512, HostTransport{});
    EXPECT_TRUE(arrangement.running());
    EXPECT_TRUE(state.lowestNoteGate);
    EXPECT_EQ(framesOf(kAccentRow), std::vector<std::int64_t>{200});
    // While the gate is set the position follows the host.
    hostFrames = 0;
    play(512, 512, HostTransport{120.0, 3.0});
    EXPECT_NEAR(state.extPos, 3.0 + 512.0 / 22050.0, 1e-9);
    queue.push(kAllNotesOffMessage, 10);
    play(512, 512, HostTransport{});
    EXPECT_FALSE(arrangement.running());
    EXPECT_FALSE(state.lowestNoteGate);
}

TEST_F(ClockTest, PlayModeNotesSelectPatternsAndNote35TogglesOrRequestsAFillIn) {
    settings.extSyncType = kExtSyncLowestNote;
    queue.push(noteOn(19), 0);
    queue.push(noteOn(26), 1);
    queue.push(noteOn(28), 2);  // no pattern there
    queue.push(noteOn(35), 3);
    queue.push(noteOn(35, 0), 4);  // a note-on of velocity 0 is a release
    play(16, 16, std::nullopt);
    EXPECT_EQ(selection.basicPattern(), 7);
    EXPECT_EQ(selection.introFillInPattern(), 14);
    EXPECT_EQ(selection.startPatternType(), 1);
    EXPECT_EQ(codes, (std::vector<int>{kNotePlayPatternSelected, kNotePlayPatternSelected, kNoteStartPatternType}));
    requests.command = kCommandStart;
    queue.push(noteOn(35), 5);
    play(16, 16, std::nullopt);
    EXPECT_TRUE(selection.fillInRequested());
    EXPECT_EQ(selection.startPatternType(), 1);
}

TEST_F(ClockTest, HostModeHeldNotesAndNoteOff) {
    settings.hostMode = true;
    settings.noteOff = true;
    queue.push(noteOn(40), 0);
    queue.push(noteOn(40, 90, 3), 10);  // the same pattern on another channel
    queue.push(noteOff(40), 20);
    play(100, 100, HostTransport{});
    EXPECT_EQ(arrangement.currentSimplePattern(), 28);
    EXPECT_EQ(state.heldNotes, 1);
    queue.push(noteOff(40), 0);
    play(100, 100, HostTransport{});
    EXPECT_EQ(arrangement.currentSimplePattern(), -1);

    // A note for another pattern restarts with one held note.
    queue.push(noteOn(50), 0);
    queue.push(noteOn(51), 5);
    play(100, 100, HostTransport{});
    EXPECT_EQ(arrangement.currentSimplePattern(), 39);
    EXPECT_EQ(state.heldNotes, 1);
    queue.push(noteOff(50), 0);  // releases a pattern no longer playing
    play(100, 100, HostTransport{});
    EXPECT_EQ(arrangement.currentSimplePattern(), 39);
}

TEST_F(ClockTest, StrayReleasesCannotLeaveAPatternThatNoReleaseStops) {
    settings.hostMode = true;
    queue.push(noteOn(60), 0);
    queue.push(noteOff(60), 1);
    queue.push(noteOff(60), 2);  // released twice while note-off is off: the pattern plays on
    play(100, 100, std::nullopt);
    EXPECT_EQ(arrangement.currentSimplePattern(), 48);
    EXPECT_EQ(state.heldNotes, 0);
    settings.noteOff = true;
    queue.push(noteOn(60), 0);
    queue.push(noteOff(60), 50);
    play(100, 100, std::nullopt);
    EXPECT_EQ(arrangement.currentSimplePattern(), -1);
}

TEST_F(ClockTest, HostModeNoteAndStepInTheSameFramePlayStepZero) {
    settings.hostMode = true;
    markEveryStep(library.simplePatterns[3]);
    markEveryStep(library.simplePatterns[4]);
    queue.push(noteOn(15), 0);
    play(5512 + 10, 5522, HostTransport{});
    ASSERT_EQ(hitsOf(kAccentRow).size(), 2u);
    // A new note lands exactly on the next step (frame 11025) and restarts its pattern.
    queue.push(noteOn(16), 11025 - 5522);
    play(6000, 6000, HostTransport{});
    const auto hits = hitsOf(kAccentRow);
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[2].frame, 11025);
    EXPECT_EQ(hits[2].simpleStep, 0);
    EXPECT_EQ(arrangement.currentSimplePattern(), 4);
}

TEST_F(ClockTest, ExtendedSequencerRunsSilentlyInHostMode) {
    settings.hostMode = true;
    markEveryStep(*library.part(0, 0, 0));
    play(20000, 512, HostTransport{});
    EXPECT_TRUE(arrangement.running());
    EXPECT_GT(arrangement.currentStep(), 0);
    EXPECT_TRUE(hits.empty());
}

// Taps ----------------------------------------------------------------------------------------------------

TEST_F(ClockTest, TapNearThePlayedStepSoundsAtOnceElseOnTheNextStep) {
    StepPattern& part = *library.part(0, 0, 0);
    play(100, 100, HostTransport{});
    requests.tap.post(rows({kSnareDrum}), kCellAccented);
    play(100, 100, HostTransport{});
    EXPECT_FALSE(requests.tap.pending());
    EXPECT_EQ(part.getCell(kSnareDrum, 0), kCellAccented);
    EXPECT_TRUE(engine.voice(kSnareDrum).active);
    EXPECT_TRUE(hitsOf(kSnareDrum).empty());  // no activity lamp for the immediate tap

    play(2800, 2800, HostTransport{});
    requests.tap.post(rows({kClaves}), kCellOn);
    play(2600, 2600, HostTransport{});  // from 0.136 beats the tap waits for step 1 at 5512
    EXPECT_EQ(part.getCell(kClaves, 0), kCellOff);
    EXPECT_EQ(part.getCell(kClaves, 1), kCellOn);
    EXPECT_EQ(framesOf(kClaves), std::vector<std::int64_t>{5512});
}

TEST_F(ClockTest, TapInHostModeGoesIntoTheSimplePattern) {
    settings.hostMode = true;
    queue.push(noteOn(12), 0);
    play(100, 100, HostTransport{});
    requests.tap.post(rows({kCowBell}), kCellOn);
    play(100, 100, HostTransport{});
    EXPECT_EQ(library.simplePatterns[0].getCell(kCowBell, 0), kCellOn);
    EXPECT_EQ(library.part(0, 0, 0)->getCell(kCowBell, 0), kCellOff);
}

// Bad input -------------------------------------------------------------------------------------------------

TEST_F(ClockTest, SurvivesAnyMidiAndTransportGarbage) {
    markEveryStep(*library.part(0, 0, 0));
    for (int i = 0; i < kSimplePatternCount; ++i) markEveryStep(library.simplePatterns[i]);
    library.part(0, 0, 0)->setCell(kCellAccented, kBassDrum, 0);
    std::mt19937 random(7);
    const double oddValues[] = {std::nan(""), -1e300, -3.0, 0.0, 1e-300, 1e300, INFINITY, -INFINITY, 1e9};
    for (int round = 0; round < 400; ++round) {
        settings.hostMode = random() % 2;
        settings.syncInternal = static_cast<std::int32_t>(random() % 2);
        settings.extSyncType = static_cast<std::int32_t>(random() % 2);
        settings.noteOff = random() % 2;
        for (int e = 0; e < static_cast<int>(random() % 40); ++e)
            queue.push(static_cast<std::uint32_t>(random()), static_cast<std::int32_t>(random() % 20000) - 5000);
        if (round % 50 == 0) engine.setSampleRate(round % 100 == 0 ? 22050.0f : 192000.0f);
        if (round % 7 == 0) requests.command = static_cast<std::int32_t>(random() % 4);
        TimeSnapshot t;
        t.valid = true;
        t.playing = random() % 4 != 0;
        t.tempoValid = random() % 3 != 0;
        t.ppqValid = random() % 3 != 0;
        t.tempo = random() % 3 == 0 ? oddValues[random() % 9] : 60.0 + random() % 200;
        t.ppqPos = random() % 3 == 0 ? oddValues[random() % 9] : (random() % 4000) / 16.0 - 8.0;
        const int sizes[] = {0, 1, 17, 512, 8192};
        block(sizes[random() % 5], random() % 5 == 0 ? nullptr : &t);
        ASSERT_TRUE(std::isfinite(state.extPos) && std::isfinite(state.simplePos) && std::isfinite(state.hostPpq));
        ASSERT_TRUE(std::isfinite(state.hostTempo) && state.hostTempo >= 0.0);
        ASSERT_GE(state.heldNotes, 0);
    }
    // The queue drains once the events' frames have passed.
    settings.hostMode = false;
    settings.extSyncType = kExtSyncTransportChange;
    queue.push(kAllNotesOffMessage, 0);
    for (int i = 0; i < 5; ++i) block(8192, nullptr);
    EXPECT_TRUE(queue.empty());
    EXPECT_FALSE(arrangement.running());
    EXPECT_EQ(arrangement.currentSimplePattern(), -1);
}

}  // namespace
}  // namespace vorlatek
