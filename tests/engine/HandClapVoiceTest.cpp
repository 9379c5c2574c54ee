// Hand clap: burst timing and restart, tail length, resonator tuning measured with a
// sine sweep, robustness and a golden render.

#include "engine/GoldenFile.h"
#include "engine/HandClapVoice.h"
#include "engine/NoiseSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace vorlatek {
namespace voicetest {  // defined with the conga and tom tests
void forWildSettings(const std::function<void(float rate, double a, double b)>& check);
void expectBounded(const std::vector<double>& x, double limit);
}  // namespace voicetest

namespace {

// Renders `samples` samples with the engine's noise source stepped before the voice each
// frame, and returns the output.
std::vector<double> render(HandClapVoice& clap, NoiseSource& noise, int samples) {
    std::vector<double> out(samples);
    for (double& x : out) {
        noise.step();
        x = clap.render({noise.noiseA, noise.noiseB, 0.0, 0.0});
    }
    return out;
}

// Lengths in samples of bursts 0, 1 and 2, then checks that burst 3 holds for `rest` more.
std::vector<int> burstLengths(HandClapVoice& clap, int rest) {
    std::vector<int> lengths;
    int length = 0;
    while (clap.burstIndex < 3 && length < 100000) {
        const int index = clap.burstIndex;
        clap.render({});
        ++length;
        if (clap.burstIndex != index) {
            lengths.push_back(length);
            length = 0;
        }
    }
    for (int i = 0; i < rest; ++i) {
        clap.render({});
        EXPECT_EQ(clap.burstIndex, 3);
    }
    return lengths;
}

TEST(HandClapVoice, ThreeShortBurstsThenAFadeAtAnySampleRate) {
    HandClapVoice clap;
    clap.trigger(1.0f);
    EXPECT_EQ(burstLengths(clap, 20000), (std::vector<int>{498, 554, 261}));
    EXPECT_NEAR(clap.burst, 0.25 * std::pow(1.0 - 0.0008, 20000), 1e-9);

    clap.setSampleRate(96000.0f);
    clap.trigger(1.0f);
    const std::vector<int> at96 = burstLengths(clap, 100);
    ASSERT_EQ(at96.size(), 3u);
    const int at44[] = {498, 554, 261};
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(at96[i], at44[i] * 96000.0 / 44100.0, 2.0) << i;
}

TEST(HandClapVoice, RetriggerRestartsTheBurstsMidClap) {
    HandClapVoice clap;
    NoiseSource noise;
    noise.setSampleRate(44100.0);
    clap.trigger(1.0f);
    render(clap, noise, 700);
    ASSERT_EQ(clap.burstIndex, 1);
    clap.trigger(0.5f);
    EXPECT_EQ(clap.burstIndex, 0);
    EXPECT_EQ(clap.burst, 0.4);
    EXPECT_EQ(burstLengths(clap, 0), (std::vector<int>{498, 554, 261}));
}

// The burst gain comes from a table for the first samples of a clap and is computed
// beyond it: every sample, past the end of the table, after a retrigger mid-clap and after
// a rate change that restarts the bursts without a trigger, carries the formula's value.
// The table gives the formula's gain to the bit; past the table (and after a rate change
// before any trigger) the inlined tanh gives it within a few units of the last place.
TEST(HandClapVoice, BurstGainEqualsTheFormula) {
    for (float rate : {8000.0f, 44100.0f, 192000.0f}) {
        HandClapVoice clap;
        clap.setSampleRate(rate);
        clap.trigger(0.5f);
        int mismatches = 0, sinceTrigger = 0;
        for (int n = 0; n < HandClapVoice::kTabulatedSteps + 3000; ++n, ++sinceTrigger) {
            if (n == 700) {
                clap.trigger(0.8f);
                sinceTrigger = 0;
            }
            if (n == HandClapVoice::kTabulatedSteps + 1000) clap.setSampleRate(rate);
            const double expected = (std::tanh(6.0 * (clap.burst - 0.2)) + 0.833654607) * 0.5;
            clap.render({});
            const double allowed = sinceTrigger < clap.tabulatedSteps() ? 0.0 : 1e-15;
            if (!(std::fabs(clap.burstGain - expected) <= allowed) && ++mismatches <= 3)
                ADD_FAILURE() << "sample " << n << " at " << rate << ": " << clap.burstGain << " vs " << expected;
        }
    }
}

TEST(HandClapVoice, ReverbOneTailFallsFiveTimesSlowerThanReverbZero) {
    double fall[2];
    for (int r = 0; r < 2; ++r) {
        HandClapVoice clap;
        clap.setReverb(r);
        clap.trigger(1.0f);
        std::vector<double> tail;
        for (int i = 0; i < 100000; ++i) {
            clap.render({});
            tail.push_back(clap.tail2Out);
        }
        const auto top = std::max_element(tail.begin(), tail.end());
        const auto half = std::find_if(top, tail.end(), [&](double v) { return v < 0.5 * *top; });
        const auto tenth = std::find_if(top, tail.end(), [&](double v) { return v < 0.1 * *top; });
        ASSERT_NE(tenth, tail.end());
        fall[r] = static_cast<double>(tenth - half);
    }
    EXPECT_GT(fall[0], 1000.0);
    EXPECT_NEAR(fall[1] / fall[0], 5.0, 0.25);
}

TEST(HandClapVoice, ToneTunesBothResonatorsFrom465To1395Hz) {
    const double centres[] = {465.0, 930.0, 1395.0};
    for (int t = 0; t < 3; ++t) {
        // Sweep a sine through the noise input; each resonator's loudest response over its
        // own input marks its tuning.
        double peakGain[2] = {0.0, 0.0}, peakFrequency[2] = {0.0, 0.0};
        for (double f = 300.0; f < 2200.0; f *= 1.001) {
            HandClapVoice clap;
            clap.setTone(0.5 * t);
            clap.trigger(1.0f);
            double drive = 0.0, band1 = 0.0, band2 = 0.0;  // energies once settled
            for (int i = 0; i < 4000; ++i) {
                SharedSignals in;
                in.noiseA = std::sin(dsp::kTwoPi * f * i / 44100.0);
                clap.render(in);
                if (i < 1000) continue;
                drive += clap.drive * clap.drive;
                band1 += clap.resonator1.band * clap.resonator1.band;
                band2 += clap.resonator2.band * clap.resonator2.band;
            }
            const double gains[2] = {std::sqrt(band1 / drive), std::sqrt(band2 / band1)};
            for (int k = 0; k < 2; ++k) {
                if (gains[k] > peakGain[k]) {
                    peakGain[k] = gains[k];
                    peakFrequency[k] = f;
                }
            }
        }
        // Damped by 0.9, this resonator peaks a little above its centre, by 1/sqrt(1 − F·q/2).
        const double F = 2.0 * std::sin(dsp::kPi * centres[t] / 44100.0);
        const double expected = centres[t] / std::sqrt(1.0 - 0.45 * F);
        EXPECT_NEAR(peakFrequency[0], expected, 0.005 * expected) << "tone " << 0.5 * t;
        EXPECT_NEAR(peakFrequency[1], expected, 0.005 * expected) << "tone " << 0.5 * t;
    }
}

// Near 8 kHz the noise is far less coloured than at 44.1 kHz and the clap gets much louder,
// but it must never run away.
TEST(HandClapVoice, StaysFiniteForWildParametersAndRates) {
    voicetest::forWildSettings([](float rate, double tone, double reverb) {
        HandClapVoice clap;
        NoiseSource noise;
        clap.setSampleRate(rate);
        noise.setSampleRate(rate);
        clap.setTone(tone);
        clap.setReverb(reverb);
        clap.trigger(1.0f);
        voicetest::expectBounded(render(clap, noise, 6000), 1000.0);
    });
}

TEST(HandClapVoice, GoldenRender) {
    HandClapVoice clap;
    NoiseSource noise;
    noise.setSampleRate(44100.0);
    clap.setTone(0.5);
    clap.setReverb(0.5);
    clap.trigger(1.0f);
    test::expectMatchesGoldenOfInlineMaths("handclap", render(clap, noise, 4000));
}

}  // namespace
}  // namespace vorlatek
