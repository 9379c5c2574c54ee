#include "engine/Biquad.h"
#include "engine/DrumEngine.h"
#include "engine/DspMath.h"
#include "engine/MetalSource.h"
#include "engine/NoiseSource.h"
#include "engine/ParameterIndex.h"
#include "engine/TriggerPulse.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <complex>
#include <cstdint>
#include <vector>

namespace vorlatek {
namespace {

TEST(NoiseSource, SequenceStartsFromItsSeedAfterEveryRateChange) {
    DrumEngine engine;
    EngineFrame frame;
    engine.renderFrame(frame);
    EXPECT_DOUBLE_EQ(engine.noiseSource().white, -0.0632679739501327);
    std::vector<double> first;
    for (int n = 0; n < 100; ++n) {
        engine.renderFrame(frame);
        first.push_back(engine.sharedSignals().noiseA);
    }
    engine.setSampleRate(44100.0f);
    engine.renderFrame(frame);
    EXPECT_DOUBLE_EQ(engine.noiseSource().white, -0.0632679739501327);
    for (int n = 0; n < 100; ++n) {
        engine.renderFrame(frame);
        ASSERT_EQ(engine.sharedSignals().noiseA, first[n]);
    }
}

TEST(NoiseSource, WhiteNoiseIsCentredAndSpansItsRange) {
    NoiseSource noise;
    noise.setSampleRate(44100.0);
    double sum = 0.0, low = 1.0, high = -1.0;
    const int count = 200000;
    for (int n = 0; n < count; ++n) {
        noise.step();
        sum += noise.white;
        low = std::min(low, noise.white);
        high = std::max(high, noise.white);
    }
    EXPECT_NEAR(sum / count, 0.0, 0.01);
    EXPECT_GE(low, -0.5);
    EXPECT_LT(high, 0.5);
    EXPECT_LT(low, -0.49);
    EXPECT_GT(high, 0.49);
}

// The pulse: quiet for 59 samples, a positive edge of about +0.25 at samples 59/60, then a
// negative one of about −0.27 at sample 782 (0.018 of the 1.1 Hz period later).
std::vector<double> pulseAfterStart(TriggerPulse& pulse, int frames) {
    pulse.start();
    std::vector<double> out;
    for (int n = 0; n < frames; ++n) out.push_back(pulse.step());
    return out;
}

TEST(TriggerPulse, EdgesAtTheirSamples) {
    TriggerPulse pulse;
    pulse.setSampleRate(44100.0);
    const std::vector<double> out = pulseAfterStart(pulse, 3000);
    for (int n = 0; n < 59; ++n) EXPECT_LT(std::fabs(out[n]), 0.02) << n;
    EXPECT_NEAR(out[59], 0.25, 0.03);
    EXPECT_NEAR(out[60], 0.25, 0.03);
    for (int n = 61; n < 782; ++n) EXPECT_GT(out[n], -0.05) << n;
    EXPECT_NEAR(out[782], -0.27, 0.03);
    // The integrator leaks with a time constant of about 333 samples.
    EXPECT_NEAR(pulse.integrator, 0.0, 0.01);
    // Afterwards the output settles toward 0.
    for (int n = 2500; n < 3000; ++n) EXPECT_LT(std::fabs(out[n]), 0.05);
}

TEST(TriggerPulse, IntegratorLeakIsAbout333Samples) {
    TriggerPulse pulse;
    pulse.setSampleRate(44100.0);
    pulse.start();
    for (int n = 0; n <= 62; ++n) pulse.step();
    const double start = pulse.integrator;
    for (int n = 0; n < 333; ++n) pulse.step();
    EXPECT_NEAR(pulse.integrator / start, std::exp(-1.0), 0.01);
}

TEST(TriggerPulse, SecondStartRestartsTheSequence) {
    TriggerPulse pulse;
    pulse.setSampleRate(44100.0);
    pulseAfterStart(pulse, 300);
    const std::vector<double> out = pulseAfterStart(pulse, 1000);
    EXPECT_GT(out[60] - out[58], 0.2);  // a new positive edge
    EXPECT_GT(out[481], -0.05);          // none where the first start's negative edge was due
    EXPECT_LT(out[782] - out[781], -0.2);  // but one 782 samples after the restart
}

// The start offset puts the positive edge 59 samples in at every rate; the negative edge
// follows 0.018 of a 1.1 Hz period later.
TEST(TriggerPulse, EdgesKeepTheirTimingAtOtherRates) {
    for (double rate : {8000.0, 48000.0, 96000.0, 384000.0}) {
        TriggerPulse pulse;
        pulse.setSampleRate(rate);
        const std::vector<double> out = pulseAfterStart(pulse, static_cast<int>(rate * 0.05));
        const auto rise = std::max_element(out.begin(), out.begin() + 100) - out.begin();
        EXPECT_GT(out[rise], 0.15) << rate;
        EXPECT_NEAR(rise, 60, 3) << rate;
        std::size_t fall = 1;  // the steepest drop
        for (std::size_t n = 1; n < out.size(); ++n)
            if (out[n] - out[n - 1] < out[fall] - out[fall - 1]) fall = n;
        EXPECT_LT(out[fall], -0.15) << rate;
        EXPECT_NEAR((static_cast<double>(fall) - 59.0) / rate, 0.018 / 1.1, 3.0 / rate) << rate;
    }
}

// Stepped one at a time beside other work (the engine's sources loop), the pulse gives what
// its runs give, to the bit, from a start through its settling and a restart mid-pulse; it
// says it has settled only once its output no longer changes, and it stays so until a start.
TEST(TriggerPulse, StepsBesideOtherWorkMatchItsRuns) {
    for (double rate : {22050.0, 44100.0, 96000.0}) {
        TriggerPulse ran, stepped;
        ran.setSampleRate(rate);
        stepped.setSampleRate(rate);
        ASSERT_TRUE(stepped.tableCoversPulse()) << rate;
        bool settled = false;
        for (int run = 0; run < 4000 && !settled; ++run) {
            if (run == 0 || run == 150) {
                ran.start();
                stepped.start();
            }
            const int frames = 1 + (run * 37) % 200;
            float expected[256], got[256];
            ran.render(expected, frames);
            if (stepped.moving()) {
                TriggerPulse::TableStepper steps(stepped);
                for (int f = 0; f < frames; ++f) got[f] = steps.step();
                steps.storeTo(stepped);
            } else {
                stepped.render(got, frames);
                settled = run > 150;
            }
            for (int f = 0; f < frames; ++f)
                ASSERT_EQ(std::bit_cast<std::uint32_t>(expected[f]), std::bit_cast<std::uint32_t>(got[f])) << rate << " " << run;
            ASSERT_EQ(std::bit_cast<std::uint64_t>(ran.follower), std::bit_cast<std::uint64_t>(stepped.follower));
        }
        EXPECT_TRUE(settled) << rate;
    }
    TriggerPulse fast;
    fast.setSampleRate(192000.0);
    EXPECT_FALSE(fast.tableCoversPulse());
}

// The pulse's impulse pair comes from a table for its first steps and is computed beyond
// it (at 96 kHz and above the pulse outlasts the table): every step, also across the end
// of the table and after a restart in the middle of a pulse, carries the formula's value.
TEST(TriggerPulse, TabulatedImpulsesEqualTheFormulaAtEveryStep) {
    using dsp::kPi;
    for (double rate : {8000.0, 44100.0, 96000.0, 192000.0}) {
        TriggerPulse pulse;
        pulse.setSampleRate(rate);
        const double P = pulse.period, N = pulse.harmonics, D = pulse.offset;
        const auto formula = [&](double position) {
            const double b = position + 1.0, c = position + D;
            return std::sin(kPi * N * b / P) / (N * std::sin(kPi * b / P)) -
                   std::sin(kPi * N * c / P) / (N * std::sin(kPi * c / P));
        };
        pulse.start();
        int steps = 0, mismatches = 0;
        while (0.5 * P > pulse.position) {
            if (steps == 1000) pulse.start();  // a restart while the pulse runs
            const double expected = formula(pulse.position);
            pulse.step();
            if (pulse.blitValue != expected && ++mismatches <= 3)
                ADD_FAILURE() << "step " << steps << " at " << rate << ": " << pulse.blitValue << " vs " << expected;
            ++steps;
        }
        EXPECT_GT(steps, 0.45 * rate) << rate;
    }
}

// The runs the engine renders give what single steps give, to the last bit: the trigger
// pulse through a pulse, its idle tail and the rest its follower comes to (which the run
// repeats rather than steps), in runs of many lengths; and the output FIR over runs
// shorter and longer than its chunk, odd and even, with its follower watching.
// The engine's runs of the shared sources against one scalar step at a time: the squares,
// their sum and the two band-passes as plain arithmetic, and the noise source's own step;
// each run's signals and the states it leaves behind.
TEST(RunsAndSteps, SharedSourcesGiveWhatStepsGive) {
    for (double rate : {44100.0, 96000.0}) {
        SCOPED_TRACE(rate);
        DrumEngine engine;
        engine.setSampleRate(static_cast<float>(rate));
        engine.setParameter(param::kHiHatFiltersFrequency, 0.8f);
        MetalSource metal = engine.metalSource();
        NoiseSource noise = engine.noiseSource();
        const int lengths[] = {1, 256, 31, 2, 200, 64, 255};
        for (int turn = 0; turn < 60; ++turn) {
            const int length = lengths[turn % 7];
            engine.renderRun(length);
            double band1 = 0.0, band2 = 0.0, total = 0.0;
            for (int f = 0; f < length; ++f) {
                total = 0.0;
                for (MetalSource::Oscillator& o : metal.oscillators) {
                    o.square = o.phase > o.threshold ? 0.5 : -0.5;
                    o.phase = o.phase > o.period ? o.phase + 1.0 - o.period : o.phase + 1.0;
                    total += o.square;
                }
                band1 = metal.band1.process(0.5 * total);
                band2 = metal.band2.process(0.5 * total);
                noise.step();
            }
            const SharedSignals& last = engine.sharedSignals();
            ASSERT_EQ(last.metalBand1, band1) << "run " << turn;
            ASSERT_EQ(last.metalBand2, band2) << "run " << turn;
            ASSERT_EQ(last.noiseA, noise.noiseA) << "run " << turn;
            ASSERT_EQ(last.noiseB, noise.noiseB) << "run " << turn;
            // The states a run leaves behind: each square and their sum.
            const MetalSource& ran = engine.metalSource();
            ASSERT_EQ(ran.sum, 0.5 * total) << "run " << turn;
            for (int k = 0; k < MetalSource::kOscillators; ++k)
                ASSERT_EQ(ran.oscillators[k].square, metal.oscillators[k].square) << "run " << turn << ", " << k;
        }
        const MetalSource& ran = engine.metalSource();
        for (int k = 0; k < MetalSource::kOscillators; ++k) EXPECT_EQ(ran.oscillators[k].phase, metal.oscillators[k].phase);
        EXPECT_EQ(ran.band1.y2, metal.band1.y2);
        EXPECT_EQ(ran.band2.y2, metal.band2.y2);
        EXPECT_EQ(engine.noiseSource().lowPass.y2, noise.lowPass.y2);
    }
}

TEST(RunsAndSteps, TriggerPulseGivesWhatStepsGive) {
    for (double rate : {22050.0, 44100.0, 96000.0}) {
        SCOPED_TRACE(rate);
        TriggerPulse byStep, byRun;
        byStep.setSampleRate(rate);
        byRun.setSampleRate(rate);
        byStep.start();
        byRun.start();
        const int lengths[] = {1, 255, 17, 256, 100};
        float out[256];
        int mismatches = 0;
        for (long n = 0, turn = 0; n < std::lround(6.0 * rate); ++turn) {
            const int length = lengths[turn % 5];
            byRun.render(out, length);
            for (int f = 0; f < length; ++f, ++n)
                if (out[f] != static_cast<float>(byStep.step()) && ++mismatches <= 3) ADD_FAILURE() << "frame " << n;
        }
        EXPECT_EQ(byRun.follower, byStep.follower);
    }
}

TEST(MetalSource, FirstOscillatorPeriodAndDuty) {
    MetalSource metal;
    metal.setSampleRate(44100.0);
    EXPECT_NEAR(metal.oscillators[0].period, 81.14, 0.005);
    EXPECT_EQ(metal.oscillators[0].threshold, 35.0);
    // Over 1000 periods: 543.5 rising edges per second, high for a bit over half the cycle.
    const int frames = 81141;
    int rising = 0, high = 0;
    double previous = metal.oscillators[0].square;
    for (int n = 0; n < frames; ++n) {
        metal.step();
        const double square = metal.oscillators[0].square;
        if (square > previous) ++rising;
        if (square > 0.0) ++high;
        previous = square;
    }
    EXPECT_NEAR(rising, 1000, 1);
    // The phase runs from about 1 to about 82 within each period, high above 35.
    EXPECT_NEAR(static_cast<double>(high) / frames, 47.0 / 81.14, 0.01);
}

// Frequency of the largest response of a band-pass, from its impulse response.
double peakFrequency(dsp::Biquad filter, double sampleRate) {
    filter.reset();
    std::vector<double> impulse(8192);
    for (std::size_t n = 0; n < impulse.size(); ++n) impulse[n] = filter.process(n == 0 ? 1.0 : 0.0);
    const auto magnitude = [&](double f) {
        std::complex<double> sum = 0.0;
        const double w = 2.0 * M_PI * f / sampleRate;
        for (std::size_t n = 0; n < impulse.size(); ++n) sum += impulse[n] * std::polar(1.0, -w * n);
        return std::abs(sum);
    };
    double best = 0.0, bestValue = 0.0;
    for (double f = 100.0; f < 0.5 * sampleRate; f += 10.0)
        if (const double m = magnitude(f); m > bestValue) bestValue = m, best = f;
    const double centre = best;
    for (double f = centre - 10.0; f <= centre + 10.0; f += 0.05)
        if (const double m = magnitude(f); m > bestValue) bestValue = m, best = f;
    return best;
}

TEST(MetalSource, HiHatFiltersFrequencyMovesBothBandCentres) {
    DrumEngine engine;
    EXPECT_NEAR(peakFrequency(engine.metalSource().band1, 44100.0), 7117.0, 0.2);
    EXPECT_NEAR(peakFrequency(engine.metalSource().band2, 44100.0), 3553.0, 0.2);
    engine.setParameter(param::kHiHatFiltersFrequency, 0.0f);
    EXPECT_NEAR(peakFrequency(engine.metalSource().band1, 44100.0), 3558.5, 0.2);
    EXPECT_NEAR(peakFrequency(engine.metalSource().band2, 44100.0), 1776.5, 0.2);
    engine.setParameter(param::kHiHatFiltersFrequency, 1.0f);
    EXPECT_NEAR(peakFrequency(engine.metalSource().band1, 44100.0), 10675.5, 0.2);
    EXPECT_NEAR(peakFrequency(engine.metalSource().band2, 44100.0), 5329.5, 0.2);
    // The same centres at another rate.
    engine.setSampleRate(96000.0f);
    EXPECT_NEAR(peakFrequency(engine.metalSource().band1, 96000.0), 10675.5, 0.2);
}

TEST(MetalSource, BandsStayStableWhenTheirCentreIsPastHalfTheRate) {
    MetalSource metal;
    metal.setSampleRate(8000.0);  // 7117 Hz is past the 4 kHz limit
    metal.setFilterFrequency(1.0);
    double peak = 0.0;
    for (int n = 0; n < 80000; ++n) {
        metal.step();
        peak = std::max({peak, std::fabs(metal.band1Output), std::fabs(metal.band2Output)});
    }
    EXPECT_LT(peak, 10.0);
}

}  // namespace
}  // namespace vorlatek
