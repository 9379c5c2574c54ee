#pragma once
// Bass drum: a resonator tuned to 47.5 Hz, pinged by a short click. A pitch envelope (a
// 4.3 ms rise, then a cubic fall-off) plus a high-passed copy of it bends the resonator
// upward at the start of the note; the ringing goes through an exponential wave-shaper, a
// tone low-pass and a 50 Hz high-pass.
//   Tone  opens the low-pass from 200 Hz (0) to 2.2 kHz (1): a dull thud to a bright knock.
//   Decay sets the resonator's damping from 0.3 (a short thump) to 0.01 (a long boom).
//   Sweep sets how long the upward pitch bend lingers: short at 0, long at 1.

#include "engine/FastMath.h"
#include "engine/OnePoleHighPass.h"
#include "engine/OnePoleLowPass.h"
#include "engine/ResonatorFilter.h"
#include "engine/SharedSignals.h"
#include "engine/Voice.h"

#include <cmath>

namespace vorlatek {

class BassDrumVoice final : public Voice {
public:
    BassDrumVoice();

    void setSampleRate(float rate) override;
    void trigger(float velocity) override;
    // One sample of the sounding voice.
    double render(const SharedSignals& in) { return step(in, levelSmoothed); }
    // One sample at `level`: the per-sample step, which the engine's loops inline.
    double step(const SharedSignals& in, double level);
    static constexpr bool kHasOutputFir = false;
    // The step (a sine, an exponential and four filters) fills the registers: beside another
    // voice it runs slower than alone.
    static constexpr bool kStepsAlone = true;

    void setTone(double value);
    void setDecay(double value);
    void setSweep(double value);

    // Knob values, 0..1.
    double tone = 0.0;
    double decay = 0.0;
    double sweep = 0.0;
    // Derived from the knobs.
    double toneFrequency = 200.0;  // corner of the tone low-pass, Hz
    double damping = 0.0;          // resonator damping
    double sweepFactor = 0.0;      // sets the sweep filter's corner after the attack
    // The sweep filter's coefficients after the attack, at 10·sweepFactor/amplitude Hz:
    // worked out whenever one of the two changes, so that the step never calls exp.
    double bendA = 0.0;
    double bendG = 0.0;

    double attackCountdown = 0.0;  // samples until the attack ends
    double clickCountdown = 0.0;   // samples until the click turns into its small undershoot
    double attackTarget = 0.0;     // 1 during the attack, 0 after it
    double amplitude = 0.0;        // 4.17·velocity
    double attackState = 0.0;
    double attackRate = 0.0;
    double click = 0.0;
    double clickRate = 0.0;
    double envelope = 0.0;         // pitch envelope 0..1
    double jerk = 0.0;             // the three integrators of the cubic fall-off
    double acceleration = 0.0;
    double travel = 0.0;
    int envelopeDone = 0;

    dsp::OnePoleHighPass lowCut;       // 50 Hz high-pass at the output
    dsp::OnePoleHighPass sweepFilter;  // high-pass of the negated pitch envelope
    dsp::OnePoleLowPass toneFilter;    // the tone low-pass (its state and pole)
    double excitation = 0.0;
    dsp::ResonatorFilter resonator;
    double shaped = 0.0;
    double pitchOffset = 0.0;          // Hz above 47.5

private:
    // The shaper's value at a resting resonator, e^−0.1 − 1, so that silence stays at 0.
    static inline const double kShaperOffset = std::exp(-0.1) - 1.0;

    void updateToneFilter();
    void updateDamping();
    void updateSweepFactor();
    void updateBend();
};

inline double BassDrumVoice::step(const SharedSignals&, double level) {
    // End of the attack: the sweep filter drops to a corner that sets how long the bend lasts.
    if (dsp::countdownDue(attackCountdown)) {
        attackTarget = 0.0;
        sweepFilter.a = bendA;
        sweepFilter.g = bendG;
    }
    attackCountdown -= 1.0;
    // End of the click: a small, slow undershoot follows the initial spike.
    if (dsp::countdownDue(clickCountdown)) {
        clickRate = dsp::limitRate(0.05 * rateFactor);
        click = -0.03;
    }
    clickCountdown -= 1.0;

    const double bend = sweepFilter.process(-envelope);
    pitchOffset = 45.0 * envelope + 35.0 * bend;
    excitation = 50.0 * click + 0.1 * bend;

    resonator.q = damping;
    resonator.F = 2.0 * dsp::fastSin(dsp::kPi * (pitchOffset + 47.5) / sampleRate);
    const double r = resonator.process(excitation);

    shaped = (dsp::fastExp(-(r + 0.1)) - 1.0) - kShaperOffset;
    const double x = shaped - 2.0 * click;
    const double toned = toneFilter.process(x);
    const double out = lowCut.process(toned) * amplitude * level * 1.3;

    dsp::decay(click, clickRate);

    if (attackTarget == 1.0) {
        dsp::smooth(attackState, 1.0, attackRate);
        envelope = attackState;
    } else if (envelopeDone == 0) {
        jerk += 0.0008 * rateFactorCubed;
        acceleration += jerk;
        travel += acceleration;
        envelope = 1.0 - 0.1 * travel;
        if (envelope <= 0.0) {
            envelope = 0.0;
            envelopeDone = 1;
        }
    }
    return out;
}

}  // namespace vorlatek
