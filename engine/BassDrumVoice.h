#pragma once
// Bass drum: a resonator tuned to 47.5 Hz, pinged by a short click. A pitch envelope (a
// 4.3 ms rise, then a cubic fall-off) plus a high-passed copy of it bends the resonator
// upward at the start of the note; the ringing goes through an exponential wave-shaper, a
// tone low-pass and a 50 Hz high-pass.
//   Tone  opens the low-pass from 200 Hz (0) to 2.2 kHz (1): a dull thud to a bright knock.
//   Decay sets the resonator's damping from 0.3 (a short thump) to 0.01 (a long boom).
//   Sweep sets how long the upward pitch bend lingers: short at 0, long at 1.

#include "engine/OnePoleHighPass.h"
#include "engine/OnePoleLowPass.h"
#include "engine/ResonatorFilter.h"
#include "engine/SharedSignals.h"
#include "engine/Voice.h"

namespace vorlatek {

class BassDrumVoice final : public Voice {
public:
    BassDrumVoice();

    void setSampleRate(float rate) override;
    void trigger(float velocity) override;
    // One sample of the sounding voice.
    double render(const SharedSignals& in);
    // `frames` samples of the sounding voice, frame f at level[f], watched by the follower
    // (see Voice.h).
    void renderSamples(const SharedSignals* in, const double* level, double* out, int frames,
                       PeakFollower& follower);
    // One sample at `level`: the per-sample step itself.
    double step(const SharedSignals& in, double level);

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
    void updateToneFilter();
    void updateDamping();
    void updateSweepFactor();
};

}  // namespace vorlatek
