#include "engine/MaracasVoice.h"

#include "GoldenFile.h"
#include "SharedSourceRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>

namespace vorlatek {
namespace {

using test::SharedSourceRig;

// The filter's steady-state response at f, measured by running it on a cosine and a sine
// and reading the output as H·e^{jωn}.
std::complex<double> measuredResponse(const dsp::Biquad& design, double f, double rate) {
    dsp::Biquad onCos = design, onSin = design;
    onCos.reset();
    onSin.reset();
    const double w = 2.0 * M_PI * f / rate;
    std::complex<double> y;
    for (int n = 0; n < 6000; ++n) {
        y = {onCos.process(std::cos(w * n)), onSin.process(std::sin(w * n))};
        y *= std::polar(1.0, -w * n);
    }
    return y;
}

// A resonant high-pass turns the phase by exactly 90° at its corner (where |H| = Q).
double measuredCorner(const dsp::Biquad& design, double rate) {
    double below = 100.0, above = 0.45 * rate;
    for (int i = 0; i < 40; ++i) {
        const double f = 0.5 * (below + above);
        (measuredResponse(design, f, rate).real() < 0.0 ? below : above) = f;
    }
    return 0.5 * (below + above);
}

TEST(MaracasVoiceTest, ToneSetsTheCornerFrom5004To15013Hz) {
    for (float rate : {44100.0f, 96000.0f}) {
        MaracasVoice voice;
        voice.setSampleRate(rate);
        for (auto [tone, corner] : {std::pair{0.0, 5004.5}, {0.5, 10009.0}, {1.0, 15013.5}}) {
            voice.setTone(tone);
            const double measured = measuredCorner(voice.highPass, rate);
            EXPECT_NEAR(measured, corner, 0.5) << "tone " << tone << " at " << rate;
            EXPECT_NEAR(std::abs(measuredResponse(voice.highPass, measured, rate)), 1.5, 1e-3);
        }
        // A rate change falls back to the centre corner; the stored Tone returns on the next trigger.
        voice.setTone(0.0);
        voice.setSampleRate(rate);
        EXPECT_NEAR(measuredCorner(voice.highPass, rate), 10009.0, 0.5);
        voice.trigger(1.0f);
        EXPECT_NEAR(measuredCorner(voice.highPass, rate), 5004.5, 0.5);
    }
}

// x = −(gain·amplitude·fold(n)) reaches the filter, so the fold must never be positive.
TEST(MaracasVoiceTest, FoldedNoiseIsNeverPositive) {
    NoiseSource noise;
    noise.setSampleRate(44100.0);
    int positives = 0;
    for (int i = 0; i < 200000; ++i) {
        noise.step();
        const double n = noise.noiseA;
        const double folded = MaracasVoice::foldNoise(n);
        if (n <= 0.0) {
            ASSERT_EQ(folded, n);
        } else {
            ++positives;
            ASSERT_LE(folded, 0.0) << n;
            ASSERT_NEAR(folded, -1.5 * n * n - 0.5 * n * n * n, 1e-15) << n;
        }
    }
    EXPECT_GT(positives, 50000);
}

TEST(MaracasVoiceTest, SwellLastsAbout20msAtEveryRateAndLevelFollowsVelocity) {
    auto peakTime = [](float rate) {
        return test::secondsUntil<MaracasVoice>(
            rate, [](MaracasVoice&) {}, [](const MaracasVoice& v) { return v.stage2 > v.stage1; });
    };
    const double at44 = peakTime(44100.0f);
    EXPECT_GT(at44, 0.020);
    EXPECT_LT(at44, 0.030);
    EXPECT_NEAR(peakTime(96000.0f), at44, 0.01 * at44);

    MaracasVoice soft, loud;
    soft.trigger(0.5f);
    loud.trigger(1.0f);
    SharedSourceRig softRig(44100.0f), loudRig(44100.0f);
    double largest = 0.0;
    for (int n = 0; n < 3000; ++n) {
        const double s = softRig.frame(soft), l = loudRig.frame(loud);
        ASSERT_NEAR(l, 2.0 * s, 1e-12) << n;
        largest = std::max(largest, std::fabs(l));
    }
    EXPECT_GT(largest, 0.1);
}

TEST(MaracasVoiceTest, StaysFiniteForAnySettingAndRate) {
    test::expectBoundedForAnySetting<MaracasVoice>({&MaracasVoice::setTone});
}

TEST(MaracasVoiceTest, MatchesGoldenRender) {
    test::expectMatchesGolden("maracas", test::goldenHit<MaracasVoice>([](MaracasVoice& v) { v.setTone(0.5); }));
}

}  // namespace
}  // namespace vorlatek
