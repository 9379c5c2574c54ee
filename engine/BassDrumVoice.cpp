#include "engine/BassDrumVoice.h"

#include "engine/DspMath.h"

#include <cmath>

namespace vorlatek {

BassDrumVoice::BassDrumVoice() {
    updateToneFilter();
    updateDamping();
    updateSweepFactor();
}

void BassDrumVoice::setTone(double value) {
    tone = value;
    updateToneFilter();
}

void BassDrumVoice::setDecay(double value) {
    decay = value;
    updateDamping();
}

void BassDrumVoice::setSweep(double value) {
    sweep = value;
    updateSweepFactor();
}

void BassDrumVoice::updateToneFilter() {
    toneFrequency = 200.0 + 2000.0 * tone * tone;
    toneFilter.setFrequency(toneFrequency, sampleRate);
}

// 0.3 at 0, 0.033 at 0.5, 0.01 at 1.
void BassDrumVoice::updateDamping() {
    damping = 0.2921680327867917 * std::exp(-4.90350888497574644 * decay) + 0.007831967213314962;
}

// 5.0 at 0, 1.0 at 0.5, 0.05 at 1.
void BassDrumVoice::updateSweepFactor() {
    sweepFactor = 1049.296197933348 * std::exp(11.553458178450429 / (sweep - 2.160964047443686));
    updateBend();
}

void BassDrumVoice::updateBend() {
    dsp::OnePoleHighPass bend;
    bend.setFrequency(10.0 * sweepFactor / amplitude, sampleRate);
    bendA = bend.a;
    bendG = bend.g;
}

void BassDrumVoice::setSampleRate(float rate) {
    Voice::setSampleRate(rate);
    lowCut.setFrequency(50.0, sampleRate);
    lowCut.reset();
    toneFilter.reset();
    sweepFilter.setFrequency(3.0, sampleRate);
    sweepFilter.reset();
    resonator.reset();
    pitchOffset = 0.0;
    updateToneFilter();
    updateDamping();
    updateSweepFactor();
}

// The resonator and the filters keep ringing: a retrigger adds the new ping to the old tail.
void BassDrumVoice::trigger(float velocity) {
    Voice::trigger(velocity);
    envelopeDone = 0;
    amplitude = 4.17 * static_cast<double>(velocity);
    attackCountdown = 0.0043 * sampleRate;
    attackTarget = 1.0;
    envelope = 0.0;
    attackState = 0.0;
    attackRate = dsp::limitRate(0.1 * rateFactor);
    clickCountdown = 0.00097 * sampleRate;
    click = 0.5;
    clickRate = dsp::limitRate(0.5 * rateFactor);
    jerk = 0.0;
    acceleration = 0.0;
    travel = 0.0;
    sweepFilter.setFrequency(1000.0, sampleRate);
    updateBend();
}

}  // namespace vorlatek
