#include "engine/DrumEngine.h"
#include "engine/NoiseSource.h"
#include "engine/SnareDrumVoice.h"
#include "EngineTestSupport.h"
#include "GoldenFile.h"

#include <gtest/gtest.h>

namespace vorlatek {
namespace {

TEST(SnareDrumVoice, KnobCurvesHitTheirMarks) {
    SnareDrumVoice sd;
    const double toneLevel[] = {0.0, 0.15, 1.0};
    const double bodyLevel[] = {1.0, 0.5, 0.15};
    const double decayRate[] = {5.0, 1.0, 0.2};
    for (int k = 0; k < 3; ++k) {
        const double x = 0.5 * k;
        sd.setTone(x);
        sd.setDecay(x);
        sd.setSnappy(x);
        EXPECT_NEAR(sd.toneLevel, toneLevel[k], 1e-4);
        EXPECT_NEAR(sd.bodyLevel, bodyLevel[k], 1e-4);
        EXPECT_NEAR(sd.decayRate, decayRate[k], 1e-4 * decayRate[k]);
        EXPECT_EQ(sd.snappyGain, x);
    }
}

// Renders a lone snare fed by a real noise source, `frames` samples after a trigger.
std::vector<double> renderSnare(SnareDrumVoice& sd, float velocity, int frames, float rate = 44100.0f) {
    NoiseSource noise;
    noise.setSampleRate(rate);
    sd.setSampleRate(rate);
    sd.trigger(velocity);
    std::vector<double> out;
    SharedSignals in;
    for (int n = 0; n < frames; ++n) {
        noise.step();
        in.noiseA = noise.noiseA;
        sd.smoothTone();
        out.push_back(sd.render(in));
    }
    return out;
}

// Every part of the sound scales with the square of the velocity.
TEST(SnareDrumVoice, OutputScalesWithVelocitySquared) {
    SnareDrumVoice soft, loud;
    for (SnareDrumVoice* sd : {&soft, &loud}) {
        sd->setTone(0.5);
        sd->setSnappy(1.0);
    }
    const auto a = renderSnare(soft, 0.5f, 3000);
    const auto b = renderSnare(loud, 1.0f, 3000);
    for (std::size_t n = 0; n < a.size(); ++n) {
        if (std::fabs(b[n]) > 1e-6) {
            ASSERT_NEAR(b[n] / a[n], 4.0, 1e-6) << n;
        }
    }
}

TEST(SnareDrumVoice, SnappyZeroLeavesOnlyTheBody) {
    for (double snappy : {0.0, 1.0}) {
        SnareDrumVoice withNoise, withoutNoise;
        for (SnareDrumVoice* sd : {&withNoise, &withoutNoise}) {
            sd->setSnappy(snappy);
            sd->setSampleRate(44100.0f);
            sd->trigger(0.5f);
        }
        NoiseSource noise;
        noise.setSampleRate(44100.0);
        double difference = 0.0;
        for (int n = 0; n < 4000; ++n) {
            noise.step();
            SharedSignals noisy, quiet;
            noisy.noiseA = noise.noiseA;
            quiet.noiseA = -1.0;  // the gate stays shut
            difference = std::max(difference, std::fabs(withNoise.render(noisy) - withoutNoise.render(quiet)));
        }
        if (snappy == 0.0)
            EXPECT_EQ(difference, 0.0);
        else
            EXPECT_GT(difference, 0.05);
    }
}

// With Tone 0 the 340 Hz resonator is silent; with Tone 1 it dominates the body.
TEST(SnareDrumVoice, ToneBringsInTheUpperHead) {
    const auto energyAt = [](const std::vector<double>& x, double f) {
        double re = 0.0, im = 0.0;
        for (std::size_t n = 0; n < x.size(); ++n) {
            re += x[n] * std::cos(2.0 * M_PI * f * n / 44100.0);
            im += x[n] * std::sin(2.0 * M_PI * f * n / 44100.0);
        }
        return std::hypot(re, im);
    };
    double ratio[2];
    for (int k = 0; k < 2; ++k) {
        SnareDrumVoice sd;
        sd.setTone(k);
        sd.toneLevelSmoothed = sd.toneLevel;
        sd.bodyLevelSmoothed = sd.bodyLevel;
        const auto out = renderSnare(sd, 0.5f, 8192);
        ratio[k] = energyAt(out, 340.0) / energyAt(out, 170.0);
    }
    EXPECT_LT(ratio[0], 0.5);
    EXPECT_GT(ratio[1], 2.0);
}

// The body's ringing and the snares' fall take the same time at every rate: the level
// lost between two stretches of the tail is the same.
TEST(SnareDrumVoice, DecayTimesAreRateIndependent) {
    for (double snappy : {0.0, 1.0}) {
        double reference = 0.0;
        for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
            SnareDrumVoice sd;
            sd.setSnappy(snappy);
            sd.setDecay(0.7);
            const auto out = renderSnare(sd, 0.5f, static_cast<int>(0.1f * rate), rate);
            const double fall = test::rmsBetween(out, 0.06, 0.1, rate) / test::rmsBetween(out, 0.02, 0.06, rate);
            if (reference == 0.0) reference = fall;
            EXPECT_NEAR(fall, reference, 0.05 * reference) << rate << " snappy " << snappy;
            EXPECT_LT(fall, 0.5);
        }
    }
}

TEST(SnareDrumVoice, DecayActsOnASoundingNote) {
    SnareDrumVoice shortSnare, longSnare;
    for (SnareDrumVoice* sd : {&shortSnare, &longSnare}) sd->setSnappy(1.0);
    renderSnare(shortSnare, 0.5f, 1000);
    renderSnare(longSnare, 0.5f, 1000);
    shortSnare.setDecay(0.0);
    longSnare.setDecay(1.0);
    SharedSignals in;
    for (int n = 0; n < 1000; ++n) {
        shortSnare.render(in);
        longSnare.render(in);
    }
    // 0.0025 vs 0.0001 per sample over 1000 samples.
    EXPECT_LT(shortSnare.envelope, 0.2 * longSnare.envelope);
}

TEST(SnareDrumVoice, GoldenRender) {
    DrumEngine engine;
    engine.setParameter(param::kSnareDrumTone, 0.5f);
    engine.setParameter(param::kSnareDrumDecay, 0.4f);
    engine.setParameter(param::kSnareDrumSnappy, 0.7f);
    test::renderFrames(engine, 1000);
    engine.triggerInstrument(kSnareDrum, true, false);
    test::expectMatchesGolden("SnareDrum", test::renderInstrument(engine, kSnareDrum, 4000), 1e-12);
}

}  // namespace
}  // namespace vorlatek
