#include "engine/DrumEngine.h"
#include "engine/DspMath.h"
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace vorlatek {
namespace {

using test::renderFrames;

constexpr float kPlainVelocity = 48.0f / 127.0f;

// The velocity a bass-drum trigger received, read back from its amplitude (4.17·v).
double bassDrumVelocity(DrumEngine& engine) { return engine.bassDrum().amplitude / 4.17; }

TEST(DrumEngine, VelocityAddsAccentsAndIsLimitedToOne) {
    DrumEngine engine;
    engine.triggerInstrument(kBassDrum, false, false);
    EXPECT_NEAR(bassDrumVelocity(engine), 0.37795275, 1e-7);
    EXPECT_EQ(static_cast<float>(bassDrumVelocity(engine)), kPlainVelocity);

    engine.triggerInstrument(kBassDrum, true, false);
    EXPECT_NEAR(bassDrumVelocity(engine), 48.0 / 127.0 + 0.377, 1e-6);

    engine.setParameter(param::kAccentLevel, 0.5f);
    engine.triggerInstrument(kBassDrum, false, true);
    EXPECT_NEAR(bassDrumVelocity(engine), 48.0 / 127.0 + 0.5 * 0.623, 1e-6);

    engine.setParameter(param::kAccentLevel, 1.0f);
    engine.triggerInstrument(kBassDrum, true, true);
    EXPECT_EQ(bassDrumVelocity(engine), 1.0);
}

TEST(DrumEngine, SoloOverridesMuteAndClearingTheLastSoloRestoresMutes) {
    DrumEngine engine;
    for (int i = 0; i < kInstrumentCount; ++i) EXPECT_EQ(engine.enabled(i), 1);

    engine.setParameter(param::kFirstMute + kSnareDrum, 1.0f);
    engine.setParameter(param::kFirstMute + kCowBell, 0.6f);
    EXPECT_EQ(engine.enabled(kSnareDrum), 0);
    EXPECT_EQ(engine.enabled(kCowBell), 0);
    EXPECT_EQ(engine.enabled(kBassDrum), 1);

    // A soloed instrument sounds even while muted; everything else falls silent.
    engine.setParameter(param::kFirstSolo + kSnareDrum, 1.0f);
    engine.setParameter(param::kFirstSolo + kClosedHiHat, 1.0f);
    for (int i = 0; i < kInstrumentCount; ++i)
        EXPECT_EQ(engine.enabled(i), i == kSnareDrum || i == kClosedHiHat ? 1 : 0) << i;

    engine.setParameter(param::kFirstSolo + kSnareDrum, 0.5f);  // 0.5 is not above the switch point
    engine.setParameter(param::kFirstSolo + kClosedHiHat, 0.0f);
    for (int i = 0; i < kInstrumentCount; ++i)
        EXPECT_EQ(engine.enabled(i), i == kSnareDrum || i == kCowBell ? 0 : 1) << i;

    // A disabled instrument refuses triggers.
    engine.triggerInstrument(kSnareDrum, false, false);
    EXPECT_FALSE(engine.snareDrum().active);
}

TEST(DrumEngine, MutingLetsASoundingNoteRingOut) {
    DrumEngine engine;
    engine.setParameter(param::kBassDrumDecay, 0.5f);
    engine.triggerInstrument(kBassDrum, false, false);
    renderFrames(engine, 100);
    engine.setParameter(param::kFirstMute + kBassDrum, 1.0f);
    const auto tail = test::renderInstrument(engine, kBassDrum, 2000);
    EXPECT_TRUE(engine.bassDrum().active);
    EXPECT_GT(test::peakOf(tail), 0.05);
    // ...but the next step is refused.
    const double amplitude = engine.bassDrum().amplitude;
    engine.triggerInstrument(kBassDrum, true, true);
    EXPECT_EQ(engine.bassDrum().amplitude, amplitude);
}

TEST(DrumEngine, TriggerPulseFollowsItsInstrumentEvenWhenMuted) {
    DrumEngine engine;
    EXPECT_EQ(engine.triggerOutputInstrument(), kCowBell);
    engine.setParameter(param::kFirstMute + kCowBell, 1.0f);
    engine.triggerInstrument(kBassDrum, false, false);
    EXPECT_GE(engine.triggerPulse().position, engine.triggerPulse().period * 0.5);  // idle
    engine.triggerInstrument(kCowBell, false, false);
    EXPECT_DOUBLE_EQ(engine.triggerPulse().position, -60.1);

    // The accent row fires it when it is the chosen instrument, and triggers no voice.
    DrumEngine accent;
    accent.setTriggerOutputInstrument(kAccent);
    accent.triggerInstrument(kAccent, true, true);
    EXPECT_DOUBLE_EQ(accent.triggerPulse().position, -60.1);
    for (int i = 0; i < kInstrumentCount; ++i) EXPECT_FALSE(accent.voice(i).active);

    // Indices past the accent row do nothing at all.
    DrumEngine outside;
    outside.setTriggerOutputInstrument(18);
    outside.triggerInstrument(18, false, false);
    outside.triggerInstrument(-1, false, false);
    EXPECT_GE(outside.triggerPulse().position, outside.triggerPulse().period * 0.5);
}

TEST(DrumEngine, ClosedHiHatChokesTheOpenOneOnlyWhenItPlays) {
    DrumEngine engine;
    engine.setParameter(param::kFirstMute + kClosedHiHat, 1.0f);
    engine.triggerInstrument(kClosedHiHat, false, false);
    EXPECT_EQ(engine.openHiHat().choke, 1.0);
    engine.setParameter(param::kFirstMute + kClosedHiHat, 0.0f);
    engine.triggerInstrument(kClosedHiHat, false, false);
    EXPECT_EQ(engine.openHiHat().choke, 8.0);
    EXPECT_TRUE(engine.voice(kClosedHiHat).active);
}

TEST(DrumEngine, MasterVolumeScalesMasterAndInstrumentsButNotTheTrigger) {
    DrumEngine engine;
    engine.setParameter(param::kBassDrumDecay, 1.0f);
    engine.setParameter(param::kMasterVolume, 0.0f);
    renderFrames(engine, 40000);  // let the volume glide down
    engine.triggerInstrument(kBassDrum, false, false);
    engine.startTriggerPulse();
    double triggerPeak = 0.0;
    EngineFrame frame;
    for (int n = 0; n < 2000; ++n) {
        engine.renderFrame(frame);
        EXPECT_LT(std::fabs(frame.master), 1e-9f);
        EXPECT_LT(std::fabs(frame.instrument[kBassDrum]), 1e-9f);
        triggerPeak = std::max(triggerPeak, std::fabs(static_cast<double>(frame.trigger)));
    }
    EXPECT_GT(std::fabs(engine.voiceOut()[kBassDrum]), 0.0);
    EXPECT_GT(triggerPeak, 0.2);
}

TEST(DrumEngine, FrameCarriesTheScaledVoicesAndTheirSum) {
    DrumEngine engine;
    engine.setParameter(param::kMasterVolume, 0.5f);
    renderFrames(engine, 40000);
    engine.triggerInstrument(kBassDrum, false, false);
    engine.triggerInstrument(kSnareDrum, false, false);
    EngineFrame frame;
    for (int n = 0; n < 300; ++n) engine.renderFrame(frame);
    const double volume = engine.masterVolumeSmoothed();
    EXPECT_NEAR(volume, 0.5, 1e-9);
    const double bd = engine.voiceOut()[kBassDrum], sd = engine.voiceOut()[kSnareDrum];
    EXPECT_NE(bd, 0.0);
    EXPECT_NE(sd, 0.0);
    EXPECT_EQ(frame.instrument[kBassDrum], static_cast<float>(volume * bd));
    EXPECT_EQ(frame.instrument[kSnareDrum], static_cast<float>(volume * sd));
    EXPECT_FLOAT_EQ(frame.master, static_cast<float>(volume * (bd + sd)));
    for (int i = kLowConga; i < kInstrumentCount; ++i) EXPECT_EQ(frame.instrument[i], 0.0f);
}

TEST(DrumEngine, LevelParametersReachEveryVoice) {
    DrumEngine engine;
    for (int i = 0; i < kInstrumentCount; ++i) engine.setParameter(param::kLevel[i], 0.01f * (i + 1));
    for (int i = 0; i < kInstrumentCount; ++i) EXPECT_DOUBLE_EQ(engine.voice(i).level, 0.01f * (i + 1)) << i;
    // Levels glide toward the new value at 0.002·R per sample.
    renderFrames(engine, 1);
    EXPECT_NEAR(engine.voice(kBassDrum).levelSmoothed, 1.0 - (1.0 - 0.01f) * 0.002, 1e-12);
}

// Levels and the master volume stop being worked on once they have come to rest, yet stay
// exactly on the glide the smoothing gives: through coming to rest, a move away and straight
// back before the next rest, a move back after it, and a rate change.
TEST(DrumEngine, LevelsAtRestFollowTheirKnobsExactly) {
    DrumEngine engine;
    double level = 1.0, master = 1.0, rate = 0.002;
    const auto glide = [](double& x, double target, double r) { x = x - ((x - target) * r + dsp::kEpsilon); };
    const auto set = [&](float levelKnob, float masterKnob) {
        engine.setParameter(param::kLevel[kCowBell], levelKnob);
        engine.setParameter(param::kMasterVolume, masterKnob);
    };
    const struct { int frame; float level, master, rate; } steps[] = {
        {0, 0.3f, 0.6f, 0.0f},     {20000, 0.7f, 0.2f, 0.0f},  {20005, 0.3f, 0.6f, 0.0f},
        {40000, 0.7f, 0.2f, 0.0f}, {60000, 0.7f, 0.2f, 96000.0f}, {60010, 0.3f, 0.6f, 0.0f},
    };
    EngineFrame frame;
    int mismatches = 0;
    for (int n = 0, next = 0; n < 80000; ++n) {
        if (next < 6 && steps[next].frame == n) {
            if (steps[next].rate > 0.0f) {
                engine.setSampleRate(steps[next].rate);  // which settles the levels on their knobs
                rate = 0.002 * (44100.0 / steps[next].rate);
                level = engine.voice(kCowBell).level;
                master = engine.masterVolume();
            }
            set(steps[next].level, steps[next].master);
            ++next;
        }
        engine.renderFrame(frame);
        if (n == 19999) {
            EXPECT_EQ(engine.voice(kCowBell).levelRestTarget, engine.voice(kCowBell).level);  // at rest
        }
        glide(level, engine.voice(kCowBell).level, rate);
        glide(master, engine.masterVolume(), rate);
        if ((engine.voice(kCowBell).levelSmoothed != level || engine.masterVolumeSmoothed() != master) &&
            ++mismatches <= 3)
            ADD_FAILURE() << "frame " << n;
    }
}

// The activity follower starts at 0.01 and falls by 0.0002·R per sample: a voice that stays
// below −90 dB retires after the same time at every rate (29043 samples at 44.1 kHz).
TEST(DrumEngine, QuietVoiceRetiresAfterTheSameTimeAtEveryRate) {
    for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
        DrumEngine engine;
        engine.setSampleRate(rate);
        engine.setParameter(param::kLevel[kBassDrum], 0.0f);
        renderFrames(engine, static_cast<int>(rate));  // the level glides to 0
        engine.triggerInstrument(kBassDrum, false, false);
        int frames = 0;
        EngineFrame frame;
        while (engine.bassDrum().active && frames < 200000) {
            engine.renderFrame(frame);
            ++frames;
        }
        if (rate == 44100.0f) {
            EXPECT_EQ(frames, 29043);
        }
        EXPECT_NEAR(frames / rate, 29043.0 / 44100.0, 1e-4) << rate;
    }
}

TEST(DrumEngine, UntriggeredVoicesOutputExactlyZero) {
    DrumEngine engine;
    EngineFrame frame;
    for (int n = 0; n < 1000; ++n) {
        engine.renderFrame(frame);
        for (int i = 0; i < kInstrumentCount; ++i) ASSERT_EQ(engine.voiceOut()[i], 0.0);
        ASSERT_EQ(frame.master, 0.0f);
    }
}

TEST(DrumEngine, HiHatFiltersFrequencySurvivesASampleRateChange) {
    DrumEngine engine;
    engine.setParameter(param::kHiHatFiltersFrequency, 0.0f);
    const double b0 = engine.metalSource().band1.b0;
    engine.setSampleRate(48000.0f);
    engine.setSampleRate(44100.0f);
    EXPECT_EQ(engine.metalSource().band1.b0, b0);
}

// Out-of-range knob values and any rate from 8 kHz to 384 kHz must never produce a
// non-finite sample anywhere in the frame or in the shared sources.
TEST(DrumEngine, BadInputGivesFiniteOutput) {
    for (float rate : {8000.0f, 11025.0f, 16000.0f, 22050.0f, 44100.0f, 96000.0f, 192000.0f, 384000.0f}) {
        for (float value : {-10.0f, -1.0f, -0.01f, 0.0f, 0.5f, 1.0f, 1.01f, 2.160964f, 10.0f, NAN, INFINITY}) {
            DrumEngine engine;
            engine.setSampleRate(rate);
            for (int index = 0; index <= param::kMasterVolume; ++index) engine.setParameter(index, value);
            engine.setParameter(200, value);
            engine.setParameter(-5, value);
            EngineFrame frame;
            for (int n = 0; n < 3000; ++n) {
                if (n % 700 == 0) {
                    for (int i = 0; i <= kAccent; ++i) engine.triggerInstrument(i, true, true);
                    engine.startTriggerPulse();
                }
                engine.renderFrame(frame);
                bool finite = std::isfinite(frame.master) && std::isfinite(frame.trigger) &&
                              std::isfinite(engine.sharedSignals().metalBand1) &&
                              std::isfinite(engine.sharedSignals().metalBand2) &&
                              std::isfinite(engine.sharedSignals().noiseB);
                for (float s : frame.instrument) finite = finite && std::isfinite(s);
                ASSERT_TRUE(finite) << "rate " << rate << " value " << value << " frame " << n;
            }
        }
    }
}

TEST(DrumEngine, IgnoresSampleRatesThatAreNotPositive) {
    DrumEngine engine;
    engine.setSampleRate(0.0f);
    engine.setSampleRate(-48000.0f);
    engine.setSampleRate(NAN);
    EXPECT_EQ(engine.sampleRate(), 44100.0);
    EXPECT_EQ(engine.bassDrum().sampleRate, 44100.0);
}

}  // namespace
}  // namespace vorlatek
