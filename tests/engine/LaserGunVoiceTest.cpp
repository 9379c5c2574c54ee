#include "engine/LaserGunVoice.h"

#include "GoldenFile.h"
#include "SharedSourceRig.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vorlatek {
namespace {

using test::SharedSourceRig;

TEST(LaserGunVoiceTest, DepthZeroStaysAtFortyHertz) {
    for (float rate : {44100.0f, 96000.0f}) {
        LaserGunVoice voice;
        voice.setSampleRate(rate);
        voice.setDepth(0.0);
        voice.setDecay(1.0);
        voice.trigger(1.0f);
        SharedSourceRig rig(rate);
        double previous = 0.0, firstUpward = -1.0, lastUpward = -1.0;
        int upward = 0;
        for (int n = 0; n < static_cast<int>(rate); ++n) {
            const double out = rig.frame(voice);
            ASSERT_NEAR(voice.frequency, 40.0, 1e-6) << n;
            if (n > 0.05 * rate && previous < 0.0 && out >= 0.0) {
                const double at = n - out / (out - previous);
                if (upward++ == 0) firstUpward = at;
                lastUpward = at;
            }
            previous = out;
        }
        ASSERT_GE(upward, 30);
        EXPECT_NEAR(rate * (upward - 1) / (lastUpward - firstUpward), 40.0, 0.05) << rate;
    }
}

TEST(LaserGunVoiceTest, FullDepthStartsAt35090HzAndFallsWithA34SampleTimeConstant) {
    // Frames until the sweep has fallen by e; the first frame already plays the start pitch.
    auto timeConstant = [](float rate) {
        return test::secondsUntil<LaserGunVoice>(
            rate,
            [](LaserGunVoice& v) {
                v.setDepth(1.0);
                v.setSweep(0.0);
            },
            [](const LaserGunVoice& v) { return v.frequency - 40.0 < 35050.0 / M_E; }) -
               1.0 / rate;
    };
    LaserGunVoice voice;
    voice.setDepth(1.0);
    voice.setSweep(0.0);
    voice.trigger(1.0f);
    SharedSourceRig rig(44100.0f);
    rig.frame(voice);
    EXPECT_NEAR(voice.frequency, 35090.0, 1e-6);
    EXPECT_NEAR(timeConstant(44100.0f) * 44100.0, 34.0, 0.5);
    EXPECT_NEAR(timeConstant(96000.0f), timeConstant(44100.0f), 0.03 * timeConstant(44100.0f));
}

TEST(LaserGunVoiceTest, DecayTimeIsTheSameAtEveryRate) {
    for (double decay : {0.0, 0.5, 1.0}) {
        auto fall = [decay](float rate) {
            return test::secondsUntil<LaserGunVoice>(
                rate, [decay](LaserGunVoice& v) { v.setDecay(decay); },
                [](const LaserGunVoice& v) { return v.envelope < 0.01; });
        };
        const double at44 = fall(44100.0f);
        EXPECT_GT(at44, 0.0);
        EXPECT_NEAR(fall(96000.0f), at44, 0.01 * at44) << decay;
    }
}

// A trigger while the level is exactly 0 re-arms the activity check but leaves the sound
// where it was; any other level restarts it.
TEST(LaserGunVoiceTest, TriggerAtLevelZeroDoesNotRestart) {
    LaserGunVoice voice;
    voice.setDecay(0.5);
    voice.trigger(1.0f);
    SharedSourceRig rig(44100.0f);
    rig.render(voice, 500);
    const double envelope = voice.envelope, phase = voice.phase, countdown = voice.countdown;
    voice.level = 0.0;
    voice.active = false;
    voice.peak = 0.0;
    voice.trigger(1.0f);
    EXPECT_TRUE(voice.active);
    EXPECT_EQ(voice.peak, 0.01);
    EXPECT_EQ(voice.envelope, envelope);
    EXPECT_EQ(voice.phase, phase);
    EXPECT_EQ(voice.countdown, countdown);

    voice.level = 1e-9;
    voice.trigger(1.0f);
    EXPECT_EQ(voice.envelope, 1.0);
    EXPECT_EQ(voice.phase, 0.0);
    EXPECT_GT(voice.countdown, 42.0);
}

TEST(LaserGunVoiceTest, StaysFiniteForAnySettingAndRate) {
    test::expectBoundedForAnySetting<LaserGunVoice>(
        {&LaserGunVoice::setDepth, &LaserGunVoice::setDecay, &LaserGunVoice::setSweep});
}

TEST(LaserGunVoiceTest, MatchesGoldenRender) {
    test::expectMatchesGoldenOfInlineMaths("lasergun", test::goldenHit<LaserGunVoice>([](LaserGunVoice& v) {
                                  v.setDepth(0.5);
                                  v.setDecay(0.5);
                                  v.setSweep(0.5);
                              }));
}

}  // namespace
}  // namespace vorlatek
