#pragma once
// Cow bell: two square oscillators a little over a fifth apart (806.5 : 543.5 Hz at the
// centre of "CB Tunning"), a fast envelope for the clank and a slow one for the ring.
// Each square passes an asymmetric slew limiter that rounds its positive edges and lets
// only 7.7 % of the negative half through, as an overdriven transistor would; a 806 Hz
// resonant high-pass thins the sum. "CB Tunning" moves both oscillators from half to 1.5
// times their pitch; "CB Decay" stretches both envelopes up to ten-fold.

#include "engine/Biquad.h"
#include "engine/SharedSignals.h"
#include "engine/Voice.h"

namespace vorlatek {

class CowBellVoice final : public Voice {
public:
    CowBellVoice();

    void setSampleRate(float rate) override;
    void trigger(float velocity) override;
    // Both oscillators at 2.58686 and 3.8386482 times 210.1·(t + 0.5) Hz; phases are kept,
    // so a sounding note is retuned at once.
    void setTuning(double t);
    // decayFactor 10 at d = 0, 2 at 0.5, 1 at 1 (the envelopes fall that much faster).
    void setDecay(double d);
    // One sample of the sounding voice: the output FIR's output.
    double render(const SharedSignals& in) { return fir.process(step(in, levelSmoothed)); }
    // One sample at `level`, before the output FIR: the per-sample step, which the engine's
    // loops inline.
    double step(const SharedSignals& in, double level);
    static constexpr bool kHasOutputFir = true;

    double tuning = 0.0;
    double decay = 0.0;
    double amplitude = 0.0;
    double countdown = 0.0;  // samples left of the attack
    double envelopeTarget = 0.0;
    double decayFactor = 0.0;
    double fast = 0.0;
    double fastRate = 0.0;
    double slow = 0.0;
    double slowRate = 0.0;
    double drive1 = 0.0;
    double drive2 = 0.0;
    dsp::Biquad highPass;
    double filtered = 0.0;
    double slew1 = 0.0;
    double target1 = 0.0;
    double rate1 = 0.0;
    double slew2 = 0.0;
    double target2 = 0.0;
    double rate2 = 0.0;
    double P1 = 0.0;  // period, samples
    double D1 = 0.0;  // threshold, whole samples
    double phase1 = 0.0;
    double square1 = 0.5;
    double P2 = 0.0;
    double D2 = 0.0;
    double phase2 = 0.0;
    double square2 = 0.5;
    double baseFrequency = 0.0;
    // Slew rates of the limiters, from the rate: rising 0.1·R and 0.12·R, falling 0.7·R
    // (held at 1 below 30.87 kHz, where 0.7·R would overshoot and, below 15.4 kHz, diverge).
    double risingRate1 = 0.0;
    double risingRate2 = 0.0;
    double fallingRate = 0.0;

private:
    static void advance(double& phase, double period) {
        const double old = phase;
        phase = old + 1.0;
        if (old > period) phase = old + 1.0 - period;
    }
    // Follows positive drive as it is and negative drive at 7.7 %, at separate rates.
    static void limitSlew(double drive, double risingRate, double fallingRate, double& slew, double& target,
                          double& rate) {
        if (drive >= 0.0) {
            target = drive;
            rate = risingRate;
        } else {
            target = 0.077 * drive;
            rate = fallingRate;
        }
        dsp::smooth(slew, target, rate);
    }
};

inline double CowBellVoice::step(const SharedSignals&, double level) {
    square1 = phase1 > D1 ? 0.5 : -0.5;
    square2 = phase2 > D2 ? 0.5 : -0.5;
    advance(phase1, P1);
    advance(phase2, P2);
    if (dsp::countdownDue(countdown)) {
        envelopeTarget = 0.0;
        fastRate = decayFactor * rateFactor * 0.003;
        slowRate = decayFactor * rateFactor * 0.00022;
    }
    countdown -= 1.0;
    dsp::smooth(fast, envelopeTarget, fastRate);
    dsp::smooth(slow, envelopeTarget, slowRate);

    const double envelope = 0.15 * slow + fast;
    drive1 = envelope * square1 * amplitude;
    limitSlew(drive1, risingRate1, fallingRate, slew1, target1, rate1);
    drive2 = envelope * square2 * amplitude;
    limitSlew(drive2, risingRate2, fallingRate, slew2, target2, rate2);

    filtered = highPass.process(slew2 + slew1);
    const double v = filtered * level * 0.4;
    return v;
}

}  // namespace vorlatek
