// Claves and rim shot: pitch and damping measured from the ring, the rim shot's one-sided
// shaper and envelope timing, rate independence, robustness and golden renders.

#include "engine/ClavesVoice.h"
#include "engine/GoldenFile.h"
#include "engine/NoiseSource.h"
#include "engine/RimShotVoice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace vorlatek {
namespace voicetest {  // defined with the conga and tom tests
double measuredFrequency(const std::vector<double>& x, double sampleRate, int from, int to);
double ringTime(const std::vector<double>& x, double sampleRate, double fraction);
void forWildSettings(const std::function<void(float rate, double a, double b)>& check);
void expectBounded(const std::vector<double>& x, double limit);
}  // namespace voicetest

namespace {

using voicetest::measuredFrequency;
using voicetest::ringTime;

// A hit from cleared filter states as the engine renders it (the noise source steps once
// per frame before the voice); `probe` sees every output sample with the voice after it.
template <class V, class Probe>
void play(V& voice, int samples, float velocity, Probe probe) {
    voice.setSampleRate(static_cast<float>(voice.sampleRate));
    NoiseSource noise;
    noise.setSampleRate(voice.sampleRate);
    voice.trigger(velocity);
    for (int i = 0; i < samples; ++i) {
        noise.step();
        probe(voice.render({noise.noiseA, noise.noiseB, 0.0, 0.0}));
    }
}

template <class V>
std::vector<double> output(V& voice, int samples, float velocity = 1.0f) {
    std::vector<double> out;
    play(voice, samples, velocity, [&](double x) { out.push_back(x); });
    return out;
}

constexpr double kTune[] = {0.905, 1.0, 1.131};  // at Tuning 0, 0.5, 1

TEST(ClavesVoice, RingsAt2424HzMovedByTuningWithDecaySettingTheDamping) {
    ClavesVoice claves;
    claves.setDecay(0.5);
    for (int i = 0; i < 3; ++i) {
        claves.setTuning(0.5 * i);
        const double f = measuredFrequency(output(claves, 4000), 44100.0, 30, 4000);
        EXPECT_NEAR(f, 2424.0 * kTune[i], 0.002 * 2424.0) << "tuning " << 0.5 * i;
    }
    claves.setTuning(0.5);
    claves.setDecay(0.0);
    EXPECT_DOUBLE_EQ(claves.resonator.q, 0.06);
    const double dry = ringTime(output(claves, 40000), 44100.0, 0.01);
    claves.setDecay(1.0);
    EXPECT_DOUBLE_EQ(claves.resonator.q, 0.00375);
    const double ringing = ringTime(output(claves, 40000), 44100.0, 0.01);
    EXPECT_GT(dry, 0.002);
    EXPECT_NEAR(ringing / dry, 16.0, 1.6);
}

TEST(RimShotVoice, BothResonatorsMoveTogetherWithTuning) {
    RimShotVoice rim;
    rim.setDecay(1.0);
    for (int i = 0; i < 3; ++i) {
        rim.setTuning(0.5 * i);
        std::vector<double> low, high;
        play(rim, 3000, 1.0f, [&](double) {
            low.push_back(rim.resonators.band[0]);
            high.push_back(rim.resonators.band[1]);
        });
        EXPECT_NEAR(measuredFrequency(low, 44100.0, 300, 3000), 442.0 * kTune[i], 0.003 * 442.0);
        EXPECT_NEAR(measuredFrequency(high, 44100.0, 300, 3000), 1745.0 * kTune[i], 0.003 * 1745.0);
    }
}

TEST(RimShotVoice, ShaperSwingsOnlyNegativeAndReachesTheCrackBranch) {
    RimShotVoice rim;
    for (double setting : {0.0, 0.5, 1.0}) {
        rim.setTuning(setting);
        rim.setDecay(1.0 - setting);
        for (float velocity : {0.2f, 0.6f, 1.0f}) {
            double deepest = 0.0;
            play(rim, 3000, velocity, [&](double) {
                // The 570 Hz high-pass's last input is the shaped signal before the inversion.
                ASSERT_LE(rim.highPass.x1, 0.0);
                ASSERT_LE(std::fabs(rim.clipped), 1.0);
                deepest = std::min(deepest, rim.highPass.x1);
            });
            if (velocity == 1.0f) {
                EXPECT_LT(deepest, -0.5) << "setting " << setting;
            }
        }
    }
}

TEST(RimShotVoice, EnvelopeFallsAfterAMillisecondAtAnyRate) {
    for (float rate : {44100.0f, 96000.0f}) {
        RimShotVoice rim;
        rim.setSampleRate(rate);
        const int held = static_cast<int>(std::ceil(0.00097 * rate));  // 43 samples at 44.1 kHz
        play(rim, held, 1.0f, [](double) {});
        EXPECT_EQ(rim.envelopeTarget, 1.0);
        EXPECT_GT(rim.envelope, 0.9);
        rim.render({});
        EXPECT_EQ(rim.envelopeTarget, 0.0);
        EXPECT_DOUBLE_EQ(rim.envelopeRate, 0.005 * 44100.0 / rate);
    }
}

TEST(ClavesRimShotVoice, SameRingAt44And96kHz) {
    ClavesVoice claves;
    RimShotVoice rim;
    claves.setTuning(0.5);
    claves.setDecay(0.5);
    rim.setTuning(0.5);
    rim.setDecay(0.5);
    double ring[2][2];
    const float rates[] = {44100.0f, 96000.0f};
    for (int r = 0; r < 2; ++r) {
        claves.setSampleRate(rates[r]);
        rim.setSampleRate(rates[r]);
        const int n = static_cast<int>(rates[r] / 2);
        ring[r][0] = ringTime(output(claves, n), rates[r], 0.01);
        ring[r][1] = ringTime(output(rim, n), rates[r], 0.01);
    }
    EXPECT_NEAR(ring[1][0], ring[0][0], 0.03 * ring[0][0]);
    EXPECT_NEAR(ring[1][1], ring[0][1], 0.05 * ring[0][1]);
}

TEST(ClavesRimShotVoice, StayFiniteForWildParametersAndRates) {
    voicetest::forWildSettings([](float rate, double t, double d) {
        ClavesVoice claves;
        RimShotVoice rim;
        claves.setSampleRate(rate);
        rim.setSampleRate(rate);
        claves.setTuning(t);
        claves.setDecay(d);
        rim.setTuning(t);
        rim.setDecay(d);
        voicetest::expectBounded(output(claves, 6000), 50.0);
        voicetest::expectBounded(output(rim, 6000), 50.0);
    });
}

TEST(ClavesRimShotVoice, GoldenRenders) {
    ClavesVoice claves;
    claves.setTuning(0.5);
    claves.setDecay(0.5);
    test::expectMatchesGolden("claves", output(claves, 3000, 1.0f));
    RimShotVoice rim;
    rim.setTuning(0.4);
    rim.setDecay(0.6);
    test::expectMatchesGoldenOfInlineMaths("rimshot", output(rim, 3000, 48.0f / 127.0f + 0.377f));
}

}  // namespace
}  // namespace vorlatek
