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
    double baseFrequency = 0.0;
    dsp::Biquad highPass;

    // The clank's and the ring's envelope.
    double fast() const { return envelopes_[0]; }
    double slow() const { return envelopes_[1]; }
    // Where oscillator 0 or 1 stands: the square (±0.5) the next sample takes from it.
    double square(int oscillator) const { return phase_[oscillator] > threshold_[oscillator] ? 0.5 : -0.5; }

private:
    // The two oscillators, their slew limiters and the two envelopes go side by side in
    // lanes (dsp::Pair).
    using Pair = dsp::Pair;

    Pair envelopes_ = {0.0, 0.0};      // fast (clank), slow (ring)
    Pair envelopeRates_ = {0.0, 0.0};
    Pair period_ = {0.0, 0.0};         // P, samples
    Pair threshold_ = {0.0, 0.0};      // D, whole samples
    Pair phase_ = {0.0, 0.0};
    Pair slew_ = {0.0, 0.0};
    // Slew rates of the limiters, from the rate: rising 0.1·R and 0.12·R, falling 0.7·R
    // (held at 1 below 30.87 kHz, where 0.7·R would overshoot and, below 15.4 kHz, diverge).
    Pair risingRate_ = {0.0, 0.0};
    double fallingRate_ = 0.0;
};

inline double CowBellVoice::step(const SharedSignals&, double level) {
    // Each square is +0.5 above its threshold, −0.5 below; then one sample on, wrapping past
    // the period.
    const Pair square = phase_ > threshold_ ? Pair{0.5, 0.5} : Pair{-0.5, -0.5};
    const Pair old = phase_;
    phase_ = old > period_ ? old + 1.0 - period_ : old + 1.0;
    if (dsp::countdownDue(countdown)) {
        envelopeTarget = 0.0;
        envelopeRates_ = decayFactor * rateFactor * Pair{0.003, 0.00022};
    }
    countdown -= 1.0;
    // dsp::smooth of both envelopes.
    envelopes_ = envelopes_ - ((envelopes_ - envelopeTarget) * envelopeRates_ + dsp::kEpsilon);

    // The slew limiters follow positive drive as it is and negative drive at 7.7 %, at
    // separate rates (dsp::smooth again).
    const double envelope = 0.15 * envelopes_[1] + envelopes_[0];
    const Pair drive = envelope * square * amplitude;
    const auto rising = drive >= 0.0;
    const Pair target = rising ? drive : 0.077 * drive;
    const Pair rate = rising ? risingRate_ : Pair{fallingRate_, fallingRate_};
    slew_ = slew_ - ((slew_ - target) * rate + dsp::kEpsilon);

    const double filtered = highPass.process(slew_[1] + slew_[0]);
    return filtered * level * 0.4;
}

}  // namespace vorlatek
