#include "engine/OpenHiHatVoice.h"

#include "GoldenFile.h"
#include "SharedSourceRig.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vorlatek {
namespace {

using test::SharedSourceRig;

// The per-sample fall of the envelope, e_{n+1}/e_n while it heads for 0.
double fallPerSample(OpenHiHatVoice& voice, SharedSourceRig& rig) {
    const double before = voice.envelope;
    rig.frame(voice);
    return 1.0 - voice.envelope / before;
}

// Without a choke the note falls at its Decay rate (×R) for as long as it stays above
// 0.15; from the first sample after a choke it falls at 0.001·R to its end, and the next
// trigger lets it ring freely again.
TEST(OpenHiHatVoiceTest, FallsAtItsDecayRateUntilAClosedHiHatChokesIt) {
    for (float rate : {44100.0f, 96000.0f}) {
        OpenHiHatVoice voice;
        voice.setSampleRate(rate);
        voice.setDecay(0.0);
        voice.trigger(1.0f);
        SharedSourceRig rig(rate);
        const double R = 44100.0 / rate;
        rig.render(voice, static_cast<int>(0.002 * rate));
        int frames = 0;
        while (voice.envelope > 0.15) {
            ASSERT_NEAR(fallPerSample(voice, rig), 0.00032 * R, 1e-9) << frames;
            ++frames;
        }
        // From 2.645 to 0.15 at 0.00032 per sample at 44.1 kHz: about 0.2 s.
        EXPECT_NEAR(frames / static_cast<double>(rate), std::log(2.645 / 0.15) / (0.00032 * 44100.0), 0.01);

        voice.trigger(1.0f);
        rig.render(voice, static_cast<int>(0.1 * rate));
        EXPECT_NEAR(fallPerSample(voice, rig), 0.00032 * R, 1e-9);
        voice.choke = 8.0;
        for (int n = 0; n < 100; ++n) ASSERT_NEAR(fallPerSample(voice, rig), 0.001 * R, 1e-9) << n;
        voice.trigger(1.0f);
        rig.render(voice, static_cast<int>(0.1 * rate));
        EXPECT_NEAR(fallPerSample(voice, rig), 0.00032 * R, 1e-9);
    }
}

TEST(OpenHiHatVoiceTest, DecaySetsTheFallRate) {
    for (auto [decay, perSample] : {std::pair{0.0, 0.00032}, {0.5, 0.0001}, {1.0, 0.00006}}) {
        OpenHiHatVoice voice;
        voice.setDecay(decay);
        voice.trigger(1.0f);
        SharedSourceRig rig(44100.0f);
        rig.render(voice, 100);
        EXPECT_NEAR(fallPerSample(voice, rig), perSample, 0.005 * perSample) << decay;
    }
}

TEST(OpenHiHatVoiceTest, StaysFiniteForAnySettingAndRate) {
    test::expectBoundedForAnySetting<OpenHiHatVoice>({&OpenHiHatVoice::setTone, &OpenHiHatVoice::setDecay});
}

TEST(OpenHiHatVoiceTest, MatchesGoldenRender) {
    test::expectMatchesGoldenOfInlineMaths("openhihat", test::goldenHit<OpenHiHatVoice>([](OpenHiHatVoice& v) {
                                  v.setTone(0.5);
                                  v.setDecay(0.5);
                              }));
}

}  // namespace
}  // namespace vorlatek
