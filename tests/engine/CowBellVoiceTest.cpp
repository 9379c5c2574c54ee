#include "engine/CowBellVoice.h"

#include "GoldenFile.h"
#include "SharedSourceRig.h"

#include <gtest/gtest.h>

namespace vorlatek {
namespace {

using test::SharedSourceRig;

// Rising edges of both squares over one second of a sounding note.
std::pair<double, double> measuredPitches(CowBellVoice& voice, SharedSourceRig& rig) {
    int edges1 = 0, edges2 = 0;
    double last1 = voice.square(0), last2 = voice.square(1);
    const int frames = static_cast<int>(rig.sampleRate);
    for (int n = 0; n < frames; ++n) {
        rig.frame(voice);
        edges1 += voice.square(0) > last1;
        edges2 += voice.square(1) > last2;
        last1 = voice.square(0);
        last2 = voice.square(1);
    }
    return {edges1, edges2};
}

TEST(CowBellVoiceTest, TuningMovesBothOscillatorsDuringANote) {
    for (float rate : {44100.0f, 96000.0f}) {
        CowBellVoice voice;
        test::startNote(voice, rate);
        SharedSourceRig rig(rate);
        rig.render(voice, 1000);
        for (auto [tuning, scale] : {std::pair{0.5, 1.0}, {0.0, 0.5}, {1.0, 1.5}}) {
            voice.setTuning(tuning);
            const auto [f1, f2] = measuredPitches(voice, rig);
            EXPECT_NEAR(f1, 543.5 * scale, 1.5) << "tuning " << tuning << " at " << rate;
            EXPECT_NEAR(f2, 806.5 * scale, 1.5) << "tuning " << tuning << " at " << rate;
        }
    }
}

// Decay 0 falls ten times and Decay 0.5 twice as fast as Decay 1, for the clank (fast)
// and the ring (slow) alike, in the same time at 44.1 and 96 kHz.
TEST(CowBellVoiceTest, DecayShortensBothEnvelopesTenFold) {
    auto fallTime = [](float rate, double decay, bool slowEnvelope) {
        const double attack = 0.00097;
        return test::secondsUntil<CowBellVoice>(
                   rate, [decay](CowBellVoice& v) { v.setDecay(decay); },
                   [slowEnvelope](const CowBellVoice& v) {
                       return v.envelopeTarget == 0.0 && (slowEnvelope ? v.slow() : v.fast()) < 0.01;
                   }) -
               attack;
    };
    for (bool slowEnvelope : {false, true}) {
        const double longest = fallTime(44100.0f, 1.0, slowEnvelope);
        EXPECT_NEAR(longest / fallTime(44100.0f, 0.5, slowEnvelope), 2.0, 0.03);
        EXPECT_NEAR(longest / fallTime(44100.0f, 0.0, slowEnvelope), 10.0, 0.2);
        for (double decay : {0.0, 1.0}) {
            const double at44 = fallTime(44100.0f, decay, slowEnvelope);
            EXPECT_NEAR(fallTime(96000.0f, decay, slowEnvelope), at44, 0.015 * at44) << decay;
        }
    }
}

// The attack ends once, 0.97 ms after the trigger, also at 50 kHz where the countdown
// lands exactly on a half sample.
TEST(CowBellVoiceTest, AttackEndsAfter097msAtEveryRate) {
    for (float rate : {44100.0f, 48000.0f, 50000.0f, 96000.0f}) {
        const double end = test::secondsUntil<CowBellVoice>(
            rate, [](CowBellVoice&) {}, [](const CowBellVoice& v) { return v.envelopeTarget == 0.0; });
        EXPECT_NEAR(end, 0.00097, 1.5 / rate) << rate;
    }
}

TEST(CowBellVoiceTest, StaysFiniteForAnySettingAndRate) {
    test::expectBoundedForAnySetting<CowBellVoice>({&CowBellVoice::setTuning, &CowBellVoice::setDecay});
}

TEST(CowBellVoiceTest, MatchesGoldenRender) {
    test::expectMatchesGolden("cowbell", test::goldenHit<CowBellVoice>([](CowBellVoice& v) {
                                  v.setTuning(0.5);
                                  v.setDecay(0.5);
                              }));
}

}  // namespace
}  // namespace vorlatek
