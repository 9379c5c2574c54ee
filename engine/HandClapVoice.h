#pragma once
// Hand clap: noise, high-passed at 7.3 kHz and rung through two identical wide resonators
// (930 Hz at the middle Tone, 465 to 1395 Hz over its range), gated into four quick
// bursts: three short claps (about 11, 13 and 6 ms at full height) and a last one that
// fades slowly. Under them a 700 Hz low-passed copy of the same sound forms the room
// tail, whose fall Reverb stretches from short to five times longer.
//
// The burst gain follows the same course after every trigger at a given rate, so it is
// worked out once per rate into a table for the first half second of a clap, when the last
// burst has long faded (kTabulatedSteps holds that up to 96 kHz), and only computed sample
// by sample beyond that.

#include "engine/FastMath.h"
#include "engine/OnePoleHighPass.h"
#include "engine/ResonatorFilter.h"
#include "engine/SharedSignals.h"
#include "engine/Voice.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace vorlatek {

class HandClapVoice : public Voice {
public:
    // How fast each burst falls, per sample at 44.1 kHz.
    static constexpr std::array<double, 4> kBurstRates = {0.006, 0.0054, 0.0053, 0.0008};
    static constexpr double kTabulatedSeconds = 0.5;
    static constexpr int kTabulatedSteps = 48000;
    // How many samples of a clap the table holds at the current rate.
    int tabulatedSteps() const { return tabulated_; }

    HandClapVoice();

    void setSampleRate(float rate) override;
    void trigger(float velocity) override;
    // Both take the raw parameter, 0..1 (values outside are clamped).
    void setTone(double t);
    void setReverb(double r);
    // One sample of the sounding voice; reads the noise noiseA.
    double render(const SharedSignals& in) { return step(in, levelSmoothed); }
    // One sample at `level`: the per-sample step, which the engine's loops inline.
    double step(const SharedSignals& in, double level);
    static constexpr bool kHasOutputFir = false;

    double tone = 0.0;
    double reverb = 0.0;
    double reverbRate = 0.0;       // fall of the tail per sample at 44.1 kHz
    double burst = 0.0;
    double burstGain = 0.0;
    std::int32_t burstIndex = 0;   // 0..3, the burst now sounding
    double countdown = 0.0;        // samples until the tail starts to fall
    double envelopeTarget = 0.0;
    double amplitude = 0.0;        // 2.645·velocity·noiseCompensation
    double noiseCompensation = 1.0;  // the level at this rate against 44.1 kHz (exactly 1 there)
    double hush = 0.0;             // 700 Hz low-pass of the resonators, feeds the tail
    double hushA = 0.0;
    double hushOut = 0.0;
    dsp::OnePoleHighPass hiss;     // 7.3 kHz, on the noise
    double tail1 = 0.0;
    double tail2 = 0.0;
    double tail2Out = 0.0;
    double tail1Rate = 0.0;
    double tail2Rate = 0.0;
    double drive = 0.0;
    dsp::ResonatorFilter resonator1;
    dsp::ResonatorFilter resonator2;
    double mix = 0.0;

private:
    // The gain of the burst envelope at `burst`: 0 at 0, 0.417 at 0.2, 0.834 at 0.4. The table
    // holds it from the maths library's tanh, the step beyond the table from the inlined one.
    static double gainOf(double burst) { return gainFromTanh(std::tanh(burstSlope(burst))); }
    static double burstSlope(double burst) { return 6.0 * (burst - 0.2); }
    static double gainFromTanh(double t) { return (t + 0.833654607) * 0.5; }
    // One sample of the burst envelope: it falls at its burst's rate; the first three bursts
    // restart at 0.4 when they have fallen to 0.02 (the third already at 0.1), the last
    // starts at 0.25 and fades out.
    static void advanceBurst(double& burst, std::int32_t& index, double rateFactor) {
        burst = (1.0 - kBurstRates[index] * rateFactor) * burst;
        if ((burst <= 0.02 && index != 3) || (burst <= 0.1 && index == 2)) {
            ++index;
            burst = index == 3 ? 0.25 : 0.4;
        }
    }

    std::array<double, kTabulatedSteps> gainTable_{};
    int tabulated_ = 0;                          // valid entries at this rate
    int stepsSinceTrigger_ = kTabulatedSteps;   // past the table until the first trigger
};

inline double HandClapVoice::step(const SharedSignals& in, double level) {
    if (countdown <= 0.0) {
        envelopeTarget = 0.0;
        tail1Rate = reverbRate * rateFactor;
    }
    countdown -= 1.0;

    burstGain = stepsSinceTrigger_ < tabulated_ ? gainTable_[stepsSinceTrigger_++]
                                                : gainFromTanh(dsp::fastTanh(burstSlope(burst)));
    drive = 8.0 * hiss.processWithoutEpsilon(in.noiseA);
    const double band1 = resonator1.process(drive);
    const double band2 = resonator2.process(band1);
    mix = 0.8 * (band2 + band1);
    hush = hush * hushA + (1.0 - hushA) * mix;
    hushOut = hush;
    tail1 = tail1 - (tail1 - envelopeTarget) * tail1Rate;
    tail2 = tail2 - (tail2 - tail1) * tail2Rate;
    tail2Out = tail2;
    const double out = (2.0 * mix * burstGain + 0.15 * tail2Out * hushOut) * amplitude * level;

    advanceBurst(burst, burstIndex, rateFactor);
    return out;
}

}  // namespace vorlatek
