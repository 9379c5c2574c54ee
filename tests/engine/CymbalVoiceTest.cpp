#include "engine/CymbalVoice.h"

#include "GoldenFile.h"
#include "SharedSourceRig.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vorlatek {
namespace {

using test::SharedSourceRig;

// Tone 0 mixes mid and low at full weight and no ping; Tone 1 the ping at weight 2 and
// mid and low at 0.5. The mix is what enters the output FIR.
TEST(CymbalVoiceTest, ToneWeighsThePingAgainstMidAndLow) {
    for (auto [tone, highWeight, otherWeight] : {std::tuple{0.0, 0.0, 1.0}, {1.0, 2.0, 0.5}}) {
        CymbalVoice voice;
        voice.setTone(tone);
        voice.setDecay(0.5);
        voice.trigger(1.0f);
        SharedSourceRig rig(44100.0f);
        double largestHigh = 0.0;
        for (int n = 0; n < 400; ++n) {
            rig.frame(voice);
            const double mix = (highWeight * voice.high + otherWeight * (voice.mid + voice.lowState)) * 0.14 *
                               voice.amplitude * voice.levelSmoothed;
            ASSERT_NEAR(voice.fir.history(0), mix, 1e-12 * (1.0 + std::fabs(mix))) << "tone " << tone << ", " << n;
            largestHigh = std::max(largestHigh, std::fabs(voice.high));
        }
        EXPECT_GT(largestHigh, 0.01);
    }
}

// Both envelopes rise and then fall; the test waits for each to be well into its fall.
TEST(CymbalVoiceTest, BodyAndTailTakeTheSameTimeAtEveryRate) {
    for (double decay : {0.0, 1.0}) {
        auto until = [decay](float rate, bool tailEnvelope) {
            return test::secondsUntil<CymbalVoice>(
                rate, [decay](CymbalVoice& v) { v.setDecay(decay); },
                [tailEnvelope](const CymbalVoice& v) {
                    return tailEnvelope ? v.tailSource < 0.5 && v.tail < 0.3 : v.fall1 < 0.5 && v.body < 0.5;
                },
                30.0);
        };
        for (bool tailEnvelope : {false, true}) {
            const double at44 = until(44100.0f, tailEnvelope);
            EXPECT_GT(at44, 0.0);
            EXPECT_NEAR(until(96000.0f, tailEnvelope), at44, 0.01 * at44) << decay << tailEnvelope;
        }
    }
}

TEST(CymbalVoiceTest, StaysFiniteForAnySettingAndRate) {
    test::expectBoundedForAnySetting<CymbalVoice>({&CymbalVoice::setTone, &CymbalVoice::setDecay});
}

TEST(CymbalVoiceTest, MatchesGoldenRender) {
    test::expectMatchesGoldenOfInlineMaths("cymbal", test::goldenHit<CymbalVoice>([](CymbalVoice& v) {
                                  v.setTone(0.5);
                                  v.setDecay(0.5);
                              }));
}

}  // namespace
}  // namespace vorlatek
