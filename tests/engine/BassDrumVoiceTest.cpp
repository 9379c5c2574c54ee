#include "engine/BassDrumVoice.h"
#include "engine/DrumEngine.h"
#include "EngineTestSupport.h"
#include "GoldenFile.h"

#include <gtest/gtest.h>

namespace vorlatek {
namespace {

TEST(BassDrumVoice, KnobCurvesHitTheirMarks) {
    BassDrumVoice bd;
    const double tone[] = {200.0, 700.0, 2200.0};
    const double damping[] = {0.3, 0.033, 0.01};
    const double sweep[] = {5.0, 1.0, 0.05};
    for (int k = 0; k < 3; ++k) {
        const double x = 0.5 * k;
        bd.setTone(x);
        bd.setDecay(x);
        bd.setSweep(x);
        EXPECT_DOUBLE_EQ(bd.toneFrequency, tone[k]);
        EXPECT_NEAR(bd.damping, damping[k], 1e-4);
        EXPECT_NEAR(bd.sweepFactor, sweep[k], 1e-3 * sweep[k]);
    }
}

// The pitch envelope rises for 4.3 ms, then falls along a cubic curve that reaches 0 in its
// 42nd sample at 44.1 kHz; both times are the same at every rate.
TEST(BassDrumVoice, PitchEnvelopeTimingIsRateIndependent) {
    for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
        BassDrumVoice bd;
        bd.setSampleRate(rate);
        bd.trigger(0.5f);
        SharedSignals in;
        int attackEnd = -1, done = -1;
        for (int n = 0; n < 2000 && done < 0; ++n) {
            bd.render(in);
            if (attackEnd < 0 && bd.attackTarget == 0.0) attackEnd = n;
            if (bd.envelopeDone) done = n;
        }
        if (rate == 44100.0f) {
            EXPECT_EQ(attackEnd, 190);
            EXPECT_EQ(done - attackEnd + 1, 42);
        }
        EXPECT_NEAR(attackEnd / rate, 0.0043, 1.0 / rate) << rate;
        EXPECT_NEAR((done - attackEnd) / rate, 41.0 / 44100.0, 1.5 / rate) << rate;
    }
}

// 0.97 ms after the trigger the click turns into its small, slow undershoot, once, at every
// rate: also at 50 and 150 kHz, where its countdown passes 0.5 and -0.5 exactly and rounding
// half away from zero would never reach 0.
TEST(BassDrumVoice, ClickTurnsIntoItsUndershootOnceAtEveryRate) {
    for (float rate : {44100.0f, 50000.0f, 96000.0f, 150000.0f}) {
        BassDrumVoice bd;
        bd.setSampleRate(rate);
        bd.trigger(1.0f);
        SharedSignals in;
        int turns = 0, turnedAt = -1;
        double previous = bd.click;
        for (int n = 0; n < static_cast<int>(0.01 * rate); ++n) {
            bd.render(in);
            if (previous > 0.0 && bd.click < 0.0) {
                ++turns;
                turnedAt = n;
            }
            previous = bd.click;
        }
        EXPECT_EQ(turns, 1) << rate;
        EXPECT_NEAR(turnedAt / rate, 0.00097, 1.5 / rate) << rate;
        EXPECT_DOUBLE_EQ(bd.clickRate, 0.05 * 44100.0 / rate) << rate;
    }
}

// After the bend the drum rings at 47.5 Hz, and Decay sets how long it rings, the same at
// every rate.
TEST(BassDrumVoice, RingsAt47HzWithRateIndependentDecay) {
    double reference = 0.0;
    for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
        DrumEngine engine;
        engine.setSampleRate(rate);
        engine.setParameter(param::kBassDrumDecay, 1.0f);
        engine.triggerInstrument(kBassDrum, false, false);
        const auto out = test::renderInstrument(engine, kBassDrum, static_cast<int>(2.0f * rate));
        EXPECT_NEAR(test::zeroCrossingFrequency(out, static_cast<std::size_t>(0.3 * rate), out.size(), rate), 47.5,
                    0.5)
            << rate;
        const double ringTime = test::settleTime(out, 0.1, rate);
        if (reference == 0.0) reference = ringTime;
        EXPECT_NEAR(ringTime, reference, 0.02 * reference) << rate;
    }
    EXPECT_GT(reference, 0.3);
}

TEST(BassDrumVoice, DecayZeroIsAShortThump) {
    DrumEngine engine;
    engine.setParameter(param::kBassDrumDecay, 0.0f);
    engine.triggerInstrument(kBassDrum, false, false);
    const auto out = test::renderInstrument(engine, kBassDrum, 44100);
    EXPECT_LT(test::settleTime(out, 0.1, 44100.0), 0.06);
}

TEST(BassDrumVoice, LouderNoteHasALowerSweepCorner) {
    BassDrumVoice soft, loud;
    for (BassDrumVoice* bd : {&soft, &loud}) {
        bd->setSampleRate(44100.0f);
        bd->setSweep(0.0);
    }
    soft.trigger(0.5f);
    loud.trigger(1.0f);
    SharedSignals in;
    for (int n = 0; n < 200; ++n) {
        soft.render(in);
        loud.render(in);
    }
    // Sweep 0 puts the corner at 50/(4.17·v) Hz.
    EXPECT_NEAR(soft.sweepFilter.a, std::exp(-2.0 * M_PI * 50.0 / (4.17 * 0.5) / 44100.0), 1e-6);
    EXPECT_GT(loud.sweepFilter.a, soft.sweepFilter.a);
}

TEST(BassDrumVoice, GoldenRender) {
    DrumEngine engine;
    engine.setParameter(param::kBassDrumTone, 0.4f);
    engine.setParameter(param::kBassDrumDecay, 0.6f);
    engine.setParameter(param::kBassDrumSweep, 0.3f);
    test::renderFrames(engine, 1000);
    engine.triggerInstrument(kBassDrum, true, false);
    test::expectMatchesGoldenOfInlineMaths("BassDrum", test::renderInstrument(engine, kBassDrum, 4000));
}

}  // namespace
}  // namespace vorlatek
