#pragma once
// Bass drum: a resonator tuned to 47.5 Hz, pinged by a short click. A pitch envelope (a
// 4.3 ms rise, then a cubic fall-off) plus a high-passed copy of it bends the resonator
// upward at the start of the note; the ringing goes through an exponential wave-shaper, a
// tone low-pass and a 50 Hz high-pass.
//   Tone  opens the low-pass from 200 Hz (0) to 2.2 kHz (1): a dull thud to a bright knock.
//   Decay sets the resonator's damping from 0.3 (a short thump) to 0.01 (a long boom).
//   Sweep sets how long the upward pitch bend lingers: short at 0, long at 1.

#include "engine/EngineRun.h"
#include "engine/FastMath.h"
#include "engine/OnePoleHighPass.h"
#include "engine/OnePoleLowPass.h"
#include "engine/PeakFollower.h"
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
    // One sample at `level`: a run of one.
    double step(const SharedSignals&, double level) { return stepAsRunOfOne(*this, level); }
    static constexpr bool kHasOutputFir = false;
    // The step (a sine, an exponential and four filters) fills the registers: beside another
    // voice it runs slower than alone.
    static constexpr bool kStepsAlone = true;
    // `frames` steps at the levels level[], into out[], each output also to follow(out[f]):
    // what step() would give frame by frame, to the last bit, in two passes (see below).
    template <class Follow>
    [[gnu::always_inline]] inline void stepRun(const double* __restrict level, double* __restrict out, int frames, Follow& follow);

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

// The step's work splits into passes over the run: the envelopes and filters of the pitch;
// the resonator's coefficient (a sine) for every frame; the resonator; the shaper's
// exponential for every frame; the filters after it. In one loop the sine lay on the way
// from the envelopes to the resonator and left the processor waiting; apart, no pass has a
// chain longer than a filter's, and the sines and exponentials of a run, which do not wait
// on each other, are worked out several at a time. Each sample sees the same inputs in the
// same order as in step().
template <class Follow>
void BassDrumVoice::stepRun(const double* __restrict level, double* __restrict out, int frames, Follow& follow) {
    // Each array is used twice: pitch then the shaper's exponent (`angle`), and the sines
    // then the exponentials (`value`).
    alignas(16) double angle[kMaxRunFrames];
    alignas(16) double value[kMaxRunFrames];
    alignas(16) double drive[kMaxRunFrames];
    alignas(16) double clicks[kMaxRunFrames];
    if (frames <= 0) return;
    frames = frames < kMaxRunFrames ? frames : kMaxRunFrames;

    // Pitch: the envelopes, the sweep filter and the click, and the resonator's coefficient.
    {
        double attackLeft = attackCountdown, clickLeft = clickCountdown, target = attackTarget;
        double clickNow = click, clickStep = clickRate, env = envelope, attack = attackState;
        double j = jerk, acc = acceleration, tr = travel, offset = pitchOffset;
        int done = envelopeDone;
        dsp::OnePoleHighPass sweep = sweepFilter;
        const double jerkStep = 0.0008 * rateFactorCubed;
        for (int f = 0; f < frames; ++f) {
            if (dsp::countdownDue(attackLeft)) {
                target = 0.0;
                sweep.a = bendA;
                sweep.g = bendG;
            }
            attackLeft -= 1.0;
            if (dsp::countdownDue(clickLeft)) {
                clickStep = dsp::limitRate(0.05 * rateFactor);
                clickNow = -0.03;
            }
            clickLeft -= 1.0;
            const double bend = sweep.process(-env);
            offset = 45.0 * env + 35.0 * bend;
            drive[f] = 50.0 * clickNow + 0.1 * bend;
            clicks[f] = clickNow;
            angle[f] = offset;
            dsp::decay(clickNow, clickStep);
            if (target == 1.0) {
                dsp::smooth(attack, 1.0, attackRate);
                env = attack;
            } else if (done == 0) {
                j += jerkStep;
                acc += j;
                tr += acc;
                env = 1.0 - 0.1 * tr;
                if (env <= 0.0) {
                    env = 0.0;
                    done = 1;
                }
            }
        }
        attackCountdown = attackLeft;
        clickCountdown = clickLeft;
        attackTarget = target;
        click = clickNow;
        clickRate = clickStep;
        envelope = env;
        attackState = attack;
        jerk = j;
        acceleration = acc;
        travel = tr;
        pitchOffset = offset;
        envelopeDone = done;
        sweepFilter = sweep;
        excitation = drive[frames - 1];
    }

    // The resonator's coefficient, 2·sin(π·(offset + 47.5)/sr), for the whole run: no frame's
    // sine waits on another's, so they are worked out side by side.
    {
        const double rate = sampleRate;
        for (int f = 0; f < frames; ++f) angle[f] = dsp::kPi * (angle[f] + 47.5) / rate;
        dsp::fastSinEach(angle, value, frames);
    }

    // The resonator, the shaper, the tone low-pass and the low cut.
    {
        dsp::ResonatorFilter res = resonator;
        res.q = damping;
        dsp::OnePoleLowPass tone = toneFilter;
        dsp::OnePoleHighPass cut = lowCut;
        const double gain = amplitude;
        double s = shaped;
        for (int f = 0; f < frames; ++f) {
            res.F = 2.0 * value[f];
            angle[f] = -(res.process(drive[f]) + 0.1);
        }
        // The shaper's exponentials side by side, as the sines.
        dsp::fastExpEach(angle, value, frames);
        for (int f = 0; f < frames; ++f) {
            s = (value[f] - 1.0) - kShaperOffset;
            const double toned = tone.process(s - 2.0 * clicks[f]);
            const double y = cut.process(toned) * gain * level[f] * 1.3;
            out[f] = y;
            follow(y);
        }
        resonator = res;
        shaped = s;
        toneFilter = tone;
        lowCut = cut;
    }
}

}  // namespace vorlatek
