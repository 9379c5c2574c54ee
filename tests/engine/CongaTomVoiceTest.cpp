// Conga and tom: pitch, damping and loudness measured from the rendered hit, the click
// timing, the tom's rumble, rate independence, robustness and golden renders.

#include "engine/CongaVoice.h"
#include "engine/DspMath.h"
#include "engine/OnePoleHighPass.h"
#include "engine/StrikeClick.h"
#include "engine/NoiseSource.h"
#include "engine/TomVoice.h"
#include "engine/GoldenFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace vorlatek {
// Measurements of a rendered hit, shared with the other resonator voice tests.
namespace voicetest {

// Pitch from the upward zero crossings (interpolated) between two sample indices.
double measuredFrequency(const std::vector<double>& x, double sampleRate, int from, int to) {
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (int i = from; i < to; ++i) {
        if (x[i - 1] < 0.0 && x[i] >= 0.0) {
            last = i - 1 + x[i - 1] / (x[i - 1] - x[i]);
            if (crossings++ == 0) first = last;
        }
    }
    return crossings > 1 ? (crossings - 1) * sampleRate / (last - first) : 0.0;
}

// Seconds until the hit has fallen for good below `fraction` of its peak.
double ringTime(const std::vector<double>& x, double sampleRate, double fraction) {
    double peak = 0.0;
    for (double v : x) peak = std::max(peak, std::fabs(v));
    int last = 0;
    for (int i = 0; i < static_cast<int>(x.size()); ++i)
        if (std::fabs(x[i]) >= fraction * peak) last = i;
    return last / sampleRate;
}

// Runs `check` at every sample rate from 8 to 384 kHz with each pair of parameter values
// from −10 to 10, far outside the knobs' 0..1.
void forWildSettings(const std::function<void(float rate, double a, double b)>& check) {
    const double values[] = {-10.0, -1.0, 0.0, 0.5, 1.0, 2.0, 10.0};
    for (float rate : {8000.0f, 11025.0f, 22050.0f, 44100.0f, 96000.0f, 192000.0f, 384000.0f}) {
        for (double a : values) {
            for (double b : values) {
                SCOPED_TRACE(testing::Message() << "rate " << rate << ", settings " << a << " and " << b);
                check(rate, a, b);
                if (testing::Test::HasFatalFailure()) return;
            }
        }
    }
}

void expectBounded(const std::vector<double>& x, double limit) {
    for (std::size_t i = 0; i < x.size(); ++i)
        ASSERT_TRUE(std::isfinite(x[i]) && std::fabs(x[i]) < limit) << "sample " << i << ": " << x[i];
}

}  // namespace voicetest

namespace {

using voicetest::measuredFrequency;
using voicetest::expectBounded;
using voicetest::ringTime;

struct Constants {
    double baseFrequency, dampingScale, outputGain;
};
constexpr Constants kCongas[] = {{190.0, 0.023, 2.289}, {285.0, 0.028, 1.0296}, {400.0, 0.03, 0.9919}};
constexpr Constants kToms[] = {{86.0, 0.04, 2.9312}, {140.0, 0.045, 1.8}, {186.0, 0.045, 1.44}};

// A hit from cleared filter states, rendered as the engine does: the noise source steps
// once per frame before the voice.
template <class V>
std::vector<double> hit(V& voice, int samples, float velocity = 1.0f, bool withNoise = true) {
    voice.setSampleRate(static_cast<float>(voice.sampleRate));
    NoiseSource noise;
    noise.setSampleRate(voice.sampleRate);
    voice.trigger(velocity);
    std::vector<double> out(samples);
    for (double& x : out) {
        noise.step();
        x = withNoise ? voice.render({noise.noiseA, noise.noiseB, 0.0, 0.0}) : voice.render({});
    }
    return out;
}

TEST(CongaTomVoice, TuningAndDecayFactorsAtTheEndsAndMiddle) {
    const double t[] = {0.0, 0.5, 1.0};
    const double tune[] = {0.905, 1.0, 1.131};
    const double decay[] = {4.0, 1.0, 0.25};
    CongaVoice conga(190.0, 0.023, 2.289);
    TomVoice tom(86.0, 0.04, 2.9312);
    for (int i = 0; i < 3; ++i) {
        conga.setTuning(t[i]);
        conga.setDecay(t[i]);
        tom.setTuning(t[i]);
        tom.setDecay(t[i]);
        EXPECT_NEAR(conga.tuneFactor, tune[i], 1e-12);
        EXPECT_NEAR(tom.tuneFactor, tune[i], 1e-12);
        EXPECT_NEAR(conga.decayFactor, decay[i], 1e-12);
        EXPECT_NEAR(tom.resonator.q, decay[i] * 0.04, 1e-12);
    }
}

TEST(CongaTomVoice, ResonatorsSoundAtTheirBasePitchMovedByTuning) {
    const double tune[] = {0.905, 1.0, 1.131};
    for (int i = 0; i < 3; ++i) {
        const double t = 0.5 * i;
        for (const Constants& c : kCongas) {
            CongaVoice conga(c.baseFrequency, c.dampingScale, c.outputGain);
            conga.setTuning(t);
            conga.setDecay(1.0);
            const double f = measuredFrequency(hit(conga, 12000), 44100.0, 400, 12000);
            EXPECT_NEAR(f, c.baseFrequency * tune[i], 0.001 * c.baseFrequency) << "conga " << c.baseFrequency;
        }
        for (const Constants& c : kToms) {
            TomVoice tom(c.baseFrequency, c.dampingScale, c.outputGain);
            tom.setTuning(t);
            tom.setDecay(1.0);
            tom.setSnappy(0.0);
            const double f = measuredFrequency(hit(tom, 20000), 44100.0, 1000, 20000);
            EXPECT_NEAR(f, c.baseFrequency * tune[i], 0.001 * c.baseFrequency) << "tom " << c.baseFrequency;
        }
    }
}

TEST(CongaTomVoice, DecayStretchesTheRingByTheDampingRatio) {
    CongaVoice conga(285.0, 0.028, 1.0296);
    conga.setDecay(0.0);
    const double shortRing = ringTime(hit(conga, 60000), 44100.0, 0.01);
    conga.setDecay(1.0);
    const double longRing = ringTime(hit(conga, 60000), 44100.0, 0.01);
    EXPECT_GT(shortRing, 0.02);
    EXPECT_NEAR(longRing / shortRing, 16.0, 1.6);  // damping ×4 against ×0.25
}

TEST(CongaTomVoice, CongaStrikesAt2645AndTomAt417TimesTheVelocity) {
    CongaVoice conga(190.0, 0.023, 1.0);
    TomVoice tom(190.0, 0.023, 1.0);
    conga.setTuning(0.5);
    conga.setDecay(0.5);
    tom.setTuning(0.5);
    tom.setDecay(0.5);
    tom.setSnappy(0.0);
    const std::vector<double> full = hit(conga, 3000, 1.0f);
    const std::vector<double> half = hit(conga, 3000, 0.5f);
    const std::vector<double> tomHalf = hit(tom, 3000, 0.5f);
    double peak = 0.0;
    for (double v : full) peak = std::max(peak, std::fabs(v));
    ASSERT_GT(peak, 0.05);
    for (int i = 0; i < 3000; ++i) {
        EXPECT_NEAR(half[i], 0.5 * full[i], 1e-9 * peak) << i;
        EXPECT_NEAR(tomHalf[i], half[i] * 4.17 / 2.645, 1e-9 * peak) << i;
    }
}

TEST(CongaTomVoice, ClickIsReleasedAfterAMillisecondAtAnyRate) {
    for (float rate : {44100.0f, 96000.0f}) {
        CongaVoice conga(190.0, 0.023, 2.289);
        TomVoice tom(86.0, 0.04, 2.9312);
        conga.setSampleRate(rate);
        tom.setSampleRate(rate);
        const int held = static_cast<int>(0.00097 * rate);  // 42 samples at 44.1 kHz
        hit(conga, held);
        hit(tom, held);
        EXPECT_EQ(conga.click.pulseTarget, 1.0);
        EXPECT_EQ(tom.click.pulseTarget, 4.17);
        conga.render({});
        tom.render({});
        EXPECT_EQ(conga.click.pulseTarget, 0.0);
        EXPECT_EQ(tom.click.pulseTarget, 0.0);
    }
}

// Once its pulse and edge filter have settled the click repeats its last edge instead of
// stepping: through the settling, a long settled stretch and a new strike it gives exactly
// the bits that stepping the formulas every sample gives.
TEST(CongaTomVoice, SettledClickRepeatsExactlyWhatItWouldCompute) {
    for (float rate : {44100.0f, 192000.0f}) {
        const double R = 44100.0 / rate;
        StrikeClick click;
        click.setSampleRate(rate);
        dsp::OnePoleHighPass edge;
        edge.setFrequency(900.0, rate);
        double pulse = 0.0, target = 0.0, pulseRate = 0.0;
        int countdown = -1, mismatches = 0;
        for (int n = 0; n < 12000; ++n) {
            if (n == 0 || n == 7000) {
                click.start(2.0, rate, R);
                countdown = static_cast<int>(0.00097 * rate), target = 2.0, pulse = 0.0;
                pulseRate = dsp::limitRate(0.99 * R);
            }
            if (countdown == 0) target = 0.0, pulseRate = dsp::limitRate(0.5 * R);
            if (countdown >= 0) --countdown;
            double expected = edge.process(-pulse);
            if (expected > 0.0) expected *= 0.1;
            dsp::smooth(pulse, target, pulseRate);
            if (!dsp::sameBits(click.step(R), expected) && ++mismatches <= 3)
                ADD_FAILURE() << "sample " << n << " at " << rate;
        }
    }
}

TEST(CongaTomVoice, SnappyMixesARumbleThatIgnoresDecay) {
    TomVoice tom(140.0, 0.045, 1.8);
    tom.setSnappy(0.0);
    EXPECT_EQ(hit(tom, 4000), hit(tom, 4000, 1.0f, false));

    // The rumble alone: the same hit with and without the shared noise.
    std::vector<double> rumble[2];
    tom.setSnappy(1.0);
    for (int d = 0; d < 2; ++d) {
        tom.setDecay(d);
        const std::vector<double> noisy = hit(tom, 4000);
        const std::vector<double> clean = hit(tom, 4000, 1.0f, false);
        for (int i = 0; i < 4000; ++i) rumble[d].push_back(noisy[i] - clean[i]);
    }
    double energy = 0.0;
    for (int i = 0; i < 4000; ++i) {
        EXPECT_NEAR(rumble[0][i], rumble[1][i], 1e-12) << i;
        energy += rumble[0][i] * rumble[0][i];
    }
    EXPECT_GT(std::sqrt(energy / 4000), 1e-3);
}

TEST(CongaTomVoice, SameRingAndPitchAt44And96kHz) {
    CongaVoice conga(285.0, 0.028, 1.0296);
    TomVoice tom(140.0, 0.045, 1.8);
    tom.setSnappy(0.0);
    double ring[2][2], pitch[2][2], rumbleLeft[2];
    const float rates[] = {44100.0f, 96000.0f};
    for (int r = 0; r < 2; ++r) {
        conga.setSampleRate(rates[r]);
        tom.setSampleRate(rates[r]);
        const int n = static_cast<int>(rates[r]);
        const std::vector<double> c = hit(conga, n);
        const std::vector<double> t = hit(tom, n);
        ring[r][0] = ringTime(c, rates[r], 0.01);
        ring[r][1] = ringTime(t, rates[r], 0.01);
        pitch[r][0] = measuredFrequency(c, rates[r], n / 50, n / 2);
        pitch[r][1] = measuredFrequency(t, rates[r], n / 50, n / 2);
        rumbleLeft[r] = tom.noiseEnvelope;  // after one second
    }
    for (int v = 0; v < 2; ++v) {
        EXPECT_NEAR(ring[1][v], ring[0][v], 0.02 * ring[0][v]) << v;
        EXPECT_NEAR(pitch[1][v], pitch[0][v], 0.002 * pitch[0][v]) << v;
    }
    EXPECT_NEAR(rumbleLeft[1], rumbleLeft[0], 0.001 * rumbleLeft[0]);
}

TEST(CongaTomVoice, StayFiniteForWildParametersAndRates) {
    voicetest::forWildSettings([](float rate, double t, double d) {
        CongaVoice conga(400.0, 0.03, 0.9919);
        TomVoice tom(186.0, 0.045, 1.44);
        conga.setSampleRate(rate);
        tom.setSampleRate(rate);
        conga.setTuning(t);
        conga.setDecay(d);
        tom.setTuning(t);
        tom.setDecay(d);
        tom.setSnappy(t);
        expectBounded(hit(conga, 6000), 50.0);
        expectBounded(hit(tom, 6000), 50.0);
    });
}

TEST(CongaTomVoice, GoldenRenders) {
    CongaVoice conga(190.0, 0.023, 2.289);
    conga.setTuning(0.5);
    conga.setDecay(0.5);
    test::expectMatchesGolden("conga_low", hit(conga, 4000, 1.0f));
    TomVoice tom(140.0, 0.045, 1.8);
    tom.setTuning(0.3);
    tom.setDecay(0.6);
    tom.setSnappy(0.8);
    test::expectMatchesGolden("tom_mid", hit(tom, 4000, 48.0f / 127.0f));
}

}  // namespace
}  // namespace vorlatek
